#include "DataFileRun.h"

#include <filesystem>

#include "ConsoleWindow.h"
#include "IgnoreLimits.h"
#include "ReportFile.h"
#include "Summary.h"
#include "UncertaintyRun.h"
#include "varsel/Numbers.h"
#include "varsel/Run.h"

namespace varsel::cli {

int RunDataFile(const DataFileRun& run, std::FILE* out, StopToken stop) {
    SetDecimalSeparator(DecimalSeparatorFromLocale());
    RunOptions options;
    options.IgnoreLimits = IgnoreLimitsPosition(run.Arguments);
    options.Saving = run.NoSave ? SavePolicy::Never : SavePolicy::Stop;
    options.Stop = stop;

    // The window holds the file name; the folder becomes the working folder. A path ending in
    // a separator names a folder, not a file: it goes to the run whole, which says so.
    const std::filesystem::path path(run.DataFile);
    constexpr char kSeparator = std::filesystem::path::preferred_separator;
    std::string name = run.DataFile;
    if (path.has_filename()) {
        std::string folder = path.parent_path().string();
        if (folder.empty()) folder = std::filesystem::current_path().string();
        if (folder.back() != kSeparator) folder.push_back(kSeparator);
        options.WorkFolder = folder;
        name = path.filename().string();
    }

    ConsoleWindow window(out, run.SaveOnFailure);
    window.SetPathText(name);
    const std::shared_ptr<ISpreadsheetConnector> office = MakeOfficeConnector();
    options.Spreadsheet = office.get();

    const RunResult result = Run(window, options);

    if (result.Saved) PrintSummary(result.Summary, out);
    bool success = result.StatusCode == 0 && (result.Saved || run.NoSave) && !window.FailureShown();
    uncertainty::Result intervals;
    const bool estimate = success && run.Uncertainty.Wanted();
    if (estimate &&
        !EstimateIntervals(run.Uncertainty, options.WorkFolder + name, options.IgnoreLimits != 0,
                           result.Summary, out, stop, intervals)) {
        success = false;
    }
    if (!run.Report.empty() &&
        !WriteReportFile(run.Report, result.Summary, out, estimate ? &intervals : nullptr)) {
        success = false;
    }
    return success ? 0 : 1;
}

}  // namespace varsel::cli
