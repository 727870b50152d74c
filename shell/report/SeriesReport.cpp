#include "shell/report/SeriesReport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "shell/report/ReportFiles.h"
#include "shell/report/SeriesPlots.h"
#include "shell/report/SeriesText.h"
#include "shell/report/SummaryText.h"

namespace varsel::report {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// JSON has no NaN or infinity; a value that is not finite is written as null.
QJsonValue Number(double value) {
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();
}

QJsonArray Matrix(const std::vector<std::vector<double>>& m) {
    QJsonArray rows;
    for (const std::vector<double>& row : m) {
        QJsonArray cells;
        for (double v : row)
            cells.append(Number(v));
        rows.append(cells);
    }
    return rows;
}

QJsonArray Strings(const std::vector<std::string>& lines) {
    QJsonArray array;
    for (const std::string& line : lines)
        array.append(Text(line));
    return array;
}

QJsonObject FileJson(const SeriesFileResult& f) {
    QJsonArray species;
    for (const SeriesSpeciesValue& v : f.Species) {
        QJsonObject value{{"name", Text(v.Name)},
                          {"series", Number(v.Series)},
                          {"seriesHalfWidth95", Number(v.SeriesHalfWidth)}};
        if (v.OwnFit) {
            value["ownFit"] = Number(v.Value);
            value["ownFitHalfWidth95"] = Number(v.HalfWidth);
        }
        species.append(value);
    }
    QJsonArray samples;
    for (const SamplePoint& p : f.Samples) {
        samples.append(QJsonObject{{"name", Text(p.Name)},
                                   {"x", Number(p.X)},
                                   {"yExp", Number(p.YExp)},
                                   {"yCalc", Number(p.YCalc)},
                                   {"error", Number(p.Error)},
                                   {"weight", Number(p.Weight)}});
    }
    QJsonObject file{{"name", Text(f.Name)},
                     {"temperatureC", Number(f.TemperatureC)},
                     {"pressureBar", Number(f.PressureBar)},
                     {"xAxis", Text(f.XAxis)},
                     {"yAxis", Text(f.YAxis)},
                     {"species", species},
                     {"samples", samples}};
    if (!f.OwnFitOutcome.empty()) file["ownFitFailure"] = Text(f.OwnFitOutcome);
    return file;
}

QString Escaped(const std::string& text) {
    return Text(text).toHtmlEscaped();
}

QString Row(const std::vector<std::string>& cells, const char* tag = "td") {
    QString row = "<tr>";
    for (const std::string& cell : cells)
        row += QString("<%1>%2</%1>").arg(tag, Escaped(cell));
    return row + "</tr>\n";
}

// The SVG document without its XML declaration, ready to stand inside the page.
QByteArray InlineSvg(const SeriesSummary& s, int which) {
    const QByteArray svg = SeriesPlotSvg(s, which);
    const qsizetype start = svg.indexOf("<svg");
    return start < 0 ? QByteArray() : svg.mid(start);
}

}  // namespace

QByteArray SeriesJson(const SeriesSummary& s) {
    QJsonObject root;
    root["title"] = Text(s.Title);
    root["seriesFile"] = Text(s.Path);
    root["method"] = s.Method == SeriesMethod::OneStep ? "one-step" : "two-step";
    root["succeeded"] = s.Succeeded;
    if (!s.Outcome.empty()) root["failure"] = Text(s.Outcome);
    QJsonArray parameters;
    for (const SeriesParameter& p : s.Parameters) {
        parameters.append(QJsonObject{{"species", Text(p.Species)},
                                      {"name", Text(p.Name)},
                                      {"unit", Text(p.Unit)},
                                      {"initial", Number(p.Initial)},
                                      {"value", Number(p.Value)},
                                      {"halfWidth95", Number(p.HalfWidth)}});
    }
    root["parameters"] = parameters;
    root["covariance"] = Matrix(s.Covariance);
    root["correlation"] = Matrix(s.Correlation);
    root["chiSquare"] = Number(s.ChiSquare);
    root["degreesOfFreedom"] = s.DegreesOfFreedom;
    root["probability"] = Number(s.Probability);
    root["guards"] = Strings(s.Guards);
    root["flags"] = Strings(s.Flags);
    QJsonArray files;
    for (const SeriesFileResult& f : s.Files)
        files.append(FileJson(f));
    root["files"] = files;
    QJsonArray curves;
    for (const SeriesCurve& c : s.Curves) {
        QJsonArray points;
        for (const SeriesCurve::Point& p : c.Points) {
            points.append(QJsonObject{{"temperatureC", Number(p.TemperatureC)},
                                      {"pressureBar", Number(p.PressureBar)},
                                      {"value", Number(p.Value)},
                                      {"halfWidth95", Number(p.HalfWidth)}});
        }
        curves.append(QJsonObject{
            {"species", Text(c.Species)}, {"label", Text(c.Label)}, {"points", points}});
    }
    root["curves"] = curves;
    if (!s.OutputDatabase.empty()) root["outputDatabase"] = Text(s.OutputDatabase);
    if (!s.OutputTable.empty()) root["outputTable"] = Text(s.OutputTable);
    root["iterations"] = s.Iterations;
    root["wallSeconds"] = Number(s.WallSeconds);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray SeriesHtml(const SeriesSummary& s) {
    QString page;
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n";
    page += "<title>" + Escaped(s.Title.empty() ? "Series fit" : s.Title) + "</title>\n";
    page +=
        "<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse;"
        "margin-bottom:1em}td,th{border:1px solid #bbb;padding:.2em .6em;text-align:right}"
        "th{background:#eee}.flag{color:#a40}</style>\n</head>\n<body>\n";
    page += "<h1>" + Escaped(s.Title) + "</h1>\n";
    for (const std::string& line : SeriesOutcomeLines(s))
        page += "<p>" + Escaped(line) + "</p>\n";
    for (const std::string& flag : s.Flags)
        page += "<p class=\"flag\">" + Escaped(flag) + "</p>\n";

    page += "<h2>Parameters</h2>\n<table>\n" +
            Row({"Species", "Parameter", "Value", "\u00B1 95 %", "Unit", "Database"}, "th");
    for (const SeriesParameter& p : s.Parameters) {
        const ValueText text = WithHalfWidth(p.Value, p.HalfWidth);
        page += Row({p.Species, p.Name, text.Value, text.HalfWidth, p.Unit,
                     WithHalfWidth(p.Initial, 0).Value});
    }
    page += "</table>\n";
    std::vector<std::string> header{""};
    for (const SeriesParameter& p : s.Parameters)
        header.push_back(p.Species + " " + p.Name);
    for (const bool correlation : {true, false}) {
        const std::vector<std::vector<double>>& m = correlation ? s.Correlation : s.Covariance;
        if (m.empty()) continue;
        page += correlation ? "<h2>Correlation</h2>\n<table>\n"
                            : "<h2>Covariance (in the parameters' units)</h2>\n<table>\n";
        page += Row(header, "th");
        for (std::size_t i = 0; i < m.size(); ++i) {
            std::vector<std::string> cells{header[i + 1]};
            for (double v : m[i])
                cells.push_back(correlation ? Fixed(v, 3) : Significant(v));
            page += Row(cells);
        }
        page += "</table>\n";
    }
    page += "<h2>Files</h2>\n<table>\n" +
            Row({"File", "T (\u00B0C)", "P (bar)", "Species", "own fit (kJ/mol)", "\u00B1 95 %",
                 "series (kJ/mol)", "\u00B1 95 %"},
                "th");
    for (const SeriesFileResult& f : s.Files) {
        for (const SeriesSpeciesValue& v : f.Species) {
            const ValueText own = WithHalfWidth(v.Value, v.HalfWidth);
            const ValueText series = WithHalfWidth(v.Series, v.SeriesHalfWidth);
            page += Row({f.Name, Significant(f.TemperatureC), Significant(f.PressureBar), v.Name,
                         v.OwnFit ? own.Value : "not fitted", v.OwnFit ? own.HalfWidth : "",
                         series.Value, series.HalfWidth});
        }
    }
    page += "</table>\n";
    if (!s.Guards.empty()) {
        page += "<h2>Rules that applied</h2>\n<ul>\n";
        for (const std::string& guard : s.Guards)
            page += "<li>" + Escaped(guard) + "</li>\n";
        page += "</ul>\n";
    }
    page += "<h2>Plots</h2>\n";
    QByteArray bytes = page.toUtf8();
    for (int which = 0; which < SeriesPlotCount(s); ++which)
        bytes += "<div>\n" + InlineSvg(s, which) + "\n</div>\n";
    return bytes + "</body>\n</html>\n";
}

bool WriteSeriesReport(const SeriesSummary& s, const QString& path, QString& error) {
    const QString ending = QFileInfo(path).suffix().toLower();
    if (ending == "json") return WriteFile(path, SeriesJson(s), error);
    if (ending == "html" || ending == "htm") return WriteFile(path, SeriesHtml(s), error);
    if (ending == "png" || ending == "svg" || ending == "pdf") {
        return SaveSeriesPlots(s, path, error);
    }
    error = "a report is written as .json, .html, .png, .svg or .pdf";
    return false;
}

}  // namespace varsel::report
