#include "shell/report/UncertaintyReport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

#include "shell/report/ReportFiles.h"
#include "shell/report/UncertaintyPlots.h"
#include "uncertainty/Describe.h"

namespace varsel::report {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString Escaped(const std::string& text) {
    return Text(text).toHtmlEscaped();
}

QJsonValue Number(double value) {
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();
}

QJsonValue EndJson(const uncertainty::End& end) {
    return end.Found() ? Number(end.Value) : QJsonValue();
}

QJsonArray IntervalJson(const uncertainty::ProfileInterval& i) {
    return {EndJson(i.Low), EndJson(i.High)};
}

QJsonArray Lines(const std::vector<std::string>& lines) {
    QJsonArray array;
    for (const std::string& line : lines)
        array.append(Text(line));
    return array;
}

bool Complete(const uncertainty::Result& r) {
    return r.Failure.empty() && !r.Stopped;
}

}  // namespace

void AddIntervalsJson(QJsonObject& root, const uncertainty::Result& r) {
    QJsonObject intervals{
        {"scaledByFit", r.ScaleByFit},
        {"scale", Number(r.Scale)},
        {"convention", Text(uncertainty::Convention(r))},
        {"thresholds", QJsonObject{{"joint", Number(r.JointThreshold)},
                                   {"individual", Number(r.IndividualThreshold)}}},
        {"methods", Lines(uncertainty::MethodLines(r))},
        {"flags", Lines(r.Flags)},
        {"stopped", r.Stopped}};
    if (!r.Failure.empty()) intervals["failure"] = Text(r.Failure);
    root["intervals"] = intervals;
    if (r.Replicates > 0) {
        root["bootstrap"] = QJsonObject{{"replicates", r.Replicates},
                                        {"failed", r.Failed},
                                        {"seed", static_cast<double>(r.Seed)}};
    }
    if (!Complete(r)) return;
    QJsonArray species = root["species"].toArray();
    for (QJsonValueRef entry : species) {
        QJsonObject object = entry.toObject();
        for (const uncertainty::SpeciesIntervals& s : r.Species) {
            if (object["name"].toString() != Text(s.Name)) continue;
            object["linear"] = QJsonObject{{"joint", Number(s.LinearJoint)},
                                           {"individual", Number(s.LinearIndividual)}};
            if (r.Profiled) {
                object["profile"] = QJsonObject{{"joint", IntervalJson(s.Joint)},
                                                {"individual", IntervalJson(s.Individual)}};
            }
            if (r.Replicates > 0) {
                object["bootstrap"] = s.HasBootstrap
                                          ? QJsonObject{{"lo", Number(s.BootstrapLow)},
                                                        {"hi", Number(s.BootstrapHigh)}}
                                          : QJsonObject{{"lo", QJsonValue()}, {"hi", QJsonValue()}};
            }
        }
        entry = object;
    }
    root["species"] = species;
}

QByteArray IntervalsHtml(const uncertainty::Result& r) {
    QString page = "<h2>Intervals of the fitted species</h2>\n";
    for (const std::string& line : uncertainty::MethodLines(r))
        page += "<p>" + Escaped(line) + "</p>\n";
    if (!Complete(r)) return page.toUtf8();
    page +=
        "<table>\n<tr><th>Species</th><th>Value (kJ/mol)</th><th>Linear (joint)</th>"
        "<th>Profile, joint</th><th>Profile, individual</th><th>Bootstrap (individual)</th>"
        "</tr>\n";
    for (const uncertainty::SpeciesIntervals& s : r.Species) {
        page += "<tr><td>" + Escaped(s.Name) + "</td><td>" + QString::number(s.Value, 'f', 3) +
                "</td><td>" + Escaped(uncertainty::LinearText(s.LinearJoint)) + "</td><td>" +
                (s.HasProfile ? Escaped(uncertainty::IntervalText(s.Joint)) : "\u2013") +
                "</td><td>" +
                (s.HasProfile ? Escaped(uncertainty::IntervalText(s.Individual)) : "\u2013") +
                "</td><td>" + Escaped(uncertainty::BootstrapText(s)) + "</td></tr>\n";
    }
    page += "</table>\n";
    for (const std::string& flag : r.Flags)
        page += "<p class=\"flag\">" + Escaped(flag) + "</p>\n";
    QByteArray bytes = page.toUtf8();
    const auto plot = [&bytes](QChart* chart) {
        if (chart != nullptr) bytes += "<div>\n" + ChartSvg(chart) + "\n</div>\n";
    };
    plot(MakeProfileChart(r));
    for (std::size_t p = 0; p < r.Species.size(); ++p)
        plot(MakeHistogramChart(r, p));
    plot(MakePairChart(r));
    return bytes;
}

bool WriteReport(const FitSummary& s, const uncertainty::Result& r, const QString& path,
                 QString& error) {
    const QString ending = QFileInfo(path).suffix().toLower();
    QByteArray bytes;
    if (ending == "json") {
        QJsonObject root = QJsonDocument::fromJson(SummaryJson(s)).object();
        AddIntervalsJson(root, r);
        bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    } else if (ending == "html" || ending == "htm") {
        bytes = SummaryHtml(s);
        const qsizetype end = bytes.lastIndexOf("</body>");
        bytes.insert(end < 0 ? bytes.size() : end, IntervalsHtml(r));
    } else {
        return WriteReport(s, path, error);
    }
    return WriteFile(path, bytes, error);
}

}  // namespace varsel::report
