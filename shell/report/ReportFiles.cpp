#include "shell/report/ReportFiles.h"

#include <QFile>
#include <QFileInfo>

#include "files/FileReplacement.h"
#include "json/SummaryJson.h"
#include "shell/report/ReportPlots.h"
#include "shell/report/SummaryText.h"

namespace varsel::report {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString Escaped(const std::string& text) {
    return Text(text).toHtmlEscaped();
}

// The SVG document without its XML declaration, ready to stand inside the page.
QByteArray InlineSvg(const FitSummary& s, int which) {
    const QByteArray svg = PlotSvg(s, which);
    const qsizetype start = svg.indexOf("<svg");
    return start < 0 ? QByteArray() : svg.mid(start);
}

}  // namespace

bool WriteFile(const QString& path, const QByteArray& bytes, QString& error) {
    try {
        FileReplacement(QFile::encodeName(path).toStdString())
            .Commit(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        return true;
    } catch (const FileProblem& problem) {
        error = "could not write " + path + ": " + QString::fromStdString(problem.reason);
        return false;
    }
}

QByteArray SummaryJson(const FitSummary& s) {
    const std::string text = json::SummaryJson(s);
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray SummaryHtml(const FitSummary& s) {
    QString page;
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n";
    page += "<title>" + Escaped(s.Title.empty() ? "Fit summary" : s.Title) + "</title>\n";
    page +=
        "<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse;"
        "margin-bottom:1em}td,th{border:1px solid #bbb;padding:.2em .6em;text-align:right}"
        "th{background:#eee}.flag{color:#a40}</style>\n</head>\n<body>\n";
    page += "<h1>" + Escaped(s.Title) + "</h1>\n";
    for (const std::string& line : OutcomeLines(s))
        page += "<p>" + Escaped(line) + "</p>\n";
    for (const std::string& flag : s.Flags)
        page += "<p class=\"flag\">" + Escaped(flag) + "</p>\n";

    page +=
        "<h2>Fitted species</h2>\n<table>\n<tr><th>Species</th><th>Value (kJ/mol)</th>"
        "<th>\u00B1 95 %</th></tr>\n";
    for (const FittedValue& v : s.Species) {
        page += "<tr><td>" + Escaped(v.Name) + "</td><td>" + Escaped(Fixed(v.Value, 3)) +
                "</td><td>" + Escaped(HalfWidthText(v.HalfWidth)) + "</td></tr>\n";
    }
    page += "</table>\n";

    if (!s.Correlation.empty()) {
        page += "<h2>Correlation of the fitted species</h2>\n<table>\n<tr><th></th>";
        for (const FittedValue& v : s.Species)
            page += "<th>" + Escaped(v.Name) + "</th>";
        page += "</tr>\n";
        for (std::size_t i = 0; i < s.Correlation.size(); ++i) {
            page += "<tr><th>" + Escaped(s.Species[i].Name) + "</th>";
            for (double r : s.Correlation[i])
                page += "<td>" + Escaped(Fixed(r, 3)) + "</td>";
            page += "</tr>\n";
        }
        page += "</table>\n";
    }

    page += "<h2>Plots</h2>\n<div>\n";
    QByteArray bytes = page.toUtf8();
    bytes += InlineSvg(s, 0);
    bytes += "\n</div>\n<div>\n";
    bytes += InlineSvg(s, 1);
    bytes += "\n</div>\n";

    page =
        "<h2>Samples</h2>\n<table>\n<tr><th>Sample</th><th>X</th><th>Y (exp)</th>"
        "<th>Y (calc)</th><th>error</th><th>weight</th></tr>\n";
    for (const SamplePoint& p : s.Samples) {
        page += "<tr><td>" + Escaped(p.Name) + "</td>";
        for (double value : {p.X, p.YExp, p.YCalc, p.Error, p.Weight})
            page += "<td>" + Escaped(Significant(value)) + "</td>";
        page += "</tr>\n";
    }
    page += "</table>\n</body>\n</html>\n";
    return bytes + page.toUtf8();
}

bool WriteReport(const FitSummary& s, const QString& path, QString& error) {
    const QString ending = QFileInfo(path).suffix().toLower();
    if (ending == "json") return WriteFile(path, SummaryJson(s), error);
    if (ending == "html" || ending == "htm") return WriteFile(path, SummaryHtml(s), error);
    if (ending == "png" || ending == "svg" || ending == "pdf") return SavePlots(s, path, error);
    error = "a report is written as .json, .html, .png, .svg or .pdf";
    return false;
}

}  // namespace varsel::report
