#include "shell/report/UncertaintyReport.h"

#include <QFileInfo>

#include "json/IntervalsJson.h"
#include "json/JsonText.h"
#include "json/SummaryJson.h"
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

bool Complete(const uncertainty::Result& r) {
    return r.Failure.empty() && !r.Stopped;
}

}  // namespace

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
        nlohmann::json document = json::SummaryDocument(s);
        json::AddIntervals(document, r);
        bytes = QByteArray::fromStdString(json::JsonText(document));
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
