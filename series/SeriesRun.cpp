// RunSeries: set up, fit each file alone, fit the series by its method, evaluate the files at
// the parameters found, and write the database and its table.
#include <chrono>
#include <filesystem>

#include "files/FileReplacement.h"

#include "series/Display.h"
#include "series/FileTasks.h"
#include "series/LevenbergMarquardt.h"
#include "series/ObigtTable.h"
#include "series/OutputDatabase.h"
#include "series/SeriesFits.h"
#include "series/SeriesResults.h"
#include "varsel/Series.h"

namespace fs = std::filesystem;

namespace varsel {

namespace {

// Replaces the whole file through a temporary one beside it; a symbolic link at its place is
// refused (docs/security.md).
void Replace(const std::string& path, const std::string& text) {
    try {
        FileReplacement(path).Commit(text);
    } catch (const FileProblem& problem) {
        throw std::runtime_error("could not write " + path + ": " + problem.reason);
    }
}

// The table beside the output database: agcl-fit.vdb → agcl-fit-obigt.csv.
std::string TablePath(const std::string& output) {
    fs::path path(output);
    return (path.parent_path() / (path.stem().string() + "-obigt.csv")).string();
}

void Write(const SeriesFile& series, const series::Model& model, const series::SeriesFit& fit,
           SeriesSummary& summary) {
    const std::string date = series::Today();
    const std::vector<series::EntryUpdate> entries =
        series::FittedEntries(series, model, fit, summary, date);
    const std::string database =
        series::OutputDatabaseText(model.SourceDatabase, model.Database, entries);
    std::string table = series::ObigtHeader();
    const std::string reference = fs::path(series.Output).stem().string();
    for (const series::EntryUpdate& entry : entries)
        table += series::ObigtRow(entry.Record, reference, date);
    const std::string tablePath = TablePath(series.Output);
    Replace(series.Output, database);
    summary.OutputDatabase = series.Output;
    Replace(tablePath, table);
    summary.OutputTable = tablePath;
}

}  // namespace

SeriesSummary RunSeries(const SeriesFile& series, const SeriesOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    SeriesSummary summary;
    summary.Title = series.Title;
    summary.Path = series.Path;
    summary.Method = series.Method;
    series::FileTasks tasks(options.Threads, options.Progress, options.Idle);
    try {
        series::Model model = series::SetUpSeries(series, options, tasks);
        const std::vector<series::OwnFit> own = series::FitFilesAlone(model, tasks, options.Stop);
        const series::SeriesFit fit = series.Method == SeriesMethod::OneStep
                                          ? series::FitOneStep(model, tasks, options.Stop)
                                          : series::FitTwoStep(model, own, tasks, options.Stop);
        if (!fit.Failure.empty()) {
            series::SummarizeOwnFits(model, own, summary);
            summary.Outcome = fit.Failure;
        } else {
            series::EvaluateAt(model, fit.Theta, tasks, options.Stop);
            const double energyUnit = series::EnergyUnitOf(model.SourceDatabase);
            series::Summarize(model, own, fit, energyUnit, summary);
            if (options.Write) Write(series, model, fit, summary);
            summary.Succeeded = true;
        }
    } catch (const series::Stopped&) {
        summary.Outcome = kStoppedByUser;
    } catch (const std::exception& error) {
        summary.Outcome = error.what();
    }
    summary.WallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return summary;
}

}  // namespace varsel
