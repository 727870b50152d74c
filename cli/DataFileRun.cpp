#include "DataFileRun.h"

#include <filesystem>

#include "ConsoleWindow.h"
#include "IgnoreLimits.h"
#include "ReportFile.h"
#include "Summary.h"
#include "engine/EngineFactory.h"
#include "model/DataSource.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "services/Platform.h"
#include "shell/RunSequence.h"

#ifdef VARSEL_HAVE_UNO
#include "services/uno/CalcConnector.h"
#endif

namespace varsel::cli {

int RunDataFile(const DataFileRun& run, std::FILE* out) {
    engine::EngineFactory engine;

    SetDecimalSeparator(DecimalSeparatorFromLocale());
    ProblemModel& m = Model();
    m.IgnoreLimits = IgnoreLimitsPosition(run.Arguments);
    m.Saving = run.NoSave ? SavePolicy::Never : SavePolicy::Stop;

    // The window holds the file name; the folder becomes the working folder. A path ending in
    // a separator names a folder, not a file: it goes to the run whole, which says so.
    const std::filesystem::path path(run.DataFile);
    std::string name = run.DataFile;
    if (path.has_filename()) {
        std::string folder = path.parent_path().string();
        if (folder.empty()) folder = std::filesystem::current_path().string();
        if (folder.back() != FolderSeparator()) folder.push_back(FolderSeparator());
        m.WorkFolder = folder;
        name = path.filename().string();
    }

    ConsoleWindow window(out, run.SaveOnFailure);
    window.SetPathText(name);
    ThePlatform().Window = &window;
    ThePlatform().Engine = &engine;
#ifdef VARSEL_HAVE_UNO
    const auto spreadsheet = MakeCalcConnector();
    ThePlatform().Spreadsheet = spreadsheet.get();
#endif

    const bool saved = RunSequence();

    if (saved) PrintSummary(out);
    bool success = m.StatusCode == 0 && (saved || run.NoSave) && !window.FailureShown();
    if (!run.Report.empty() && !WriteReportFile(run.Report, out)) success = false;
    ThePlatform() = Platform();
    return success ? 0 : 1;
}

}  // namespace varsel::cli
