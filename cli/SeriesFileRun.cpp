#include "SeriesFileRun.h"

#include <QString>

#include "ReportFile.h"

#include "shell/report/SeriesReport.h"
#include "shell/report/SeriesText.h"
#include "varsel/Series.h"

namespace varsel::cli {

namespace {

void PrintParameters(const SeriesSummary& s, std::FILE* out) {
    std::fprintf(out, "%-12s %-6s %16s %12s  %s\n", "species", "param", "value", "\xC2\xB1 95 %",
                 "unit");
    for (const SeriesParameter& p : s.Parameters) {
        const report::ValueText text = report::WithHalfWidth(p.Value, p.HalfWidth);
        std::fprintf(out, "%-12s %-6s %16s %11s  %s\n", p.Species.c_str(), p.Name.c_str(),
                     text.Value.c_str(), text.HalfWidth.c_str(), p.Unit.c_str());
    }
}

}  // namespace

int RunSeriesFile(const SeriesFileRun& run, std::FILE* out, StopToken stop) {
    SeriesSummary summary;
    try {
        const SeriesFile series = ReadSeriesFile(run.SeriesFile);
        std::fprintf(out, "Series: %s (%s, %zu files)\n", series.Title.c_str(),
                     SeriesMethodName(series.Method), series.Files.size());
        SeriesOptions options;
        options.Progress = [out](const std::string& line) {
            std::fprintf(out, "%s\n", line.c_str());
            std::fflush(out);
        };
        options.Stop = stop;
        options.Write = !run.NoSave;
        options.IgnoreLimits = run.IgnoreLimits;
        summary = RunSeries(series, options);
    } catch (const SeriesError& error) {
        std::fprintf(out, "%s\n", error.what());
        return 1;
    }
    if (summary.Filled) PrintParameters(summary, out);
    for (const std::string& line : report::SeriesOutcomeLines(summary))
        std::fprintf(out, "%s\n", line.c_str());
    for (const std::string& flag : summary.Flags)
        std::fprintf(out, "Note: %s\n", flag.c_str());
    bool success = summary.Succeeded;
    if (!run.Report.empty()) {
        if (!summary.Filled) {
            std::fprintf(out, "No report: the series fit reached no parameters\n");
            success = false;
        } else {
            const auto write = [&](std::string& error) {
                QString why;
                const bool written =
                    report::WriteSeriesReport(summary, QString::fromStdString(run.Report), why);
                error = why.toStdString();
                return written;
            };
            if (!WriteWithQt(run.Report, write, out)) success = false;
        }
    }
    return success ? 0 : 1;
}

}  // namespace varsel::cli
