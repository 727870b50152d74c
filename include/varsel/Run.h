// The run that one press of the window's start button makes, for a front end: read the data
// file named in the window's path box, fit its free species, save the results, and tell the
// user through the window at every step (captions, messages, the save question, the
// progress bar). The window and varsel-cli both make their runs through it; each run has a
// problem and an engine session of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "varsel/FitSummary.h"
#include "varsel/Stop.h"

namespace varsel {

class IWindow;
class IEngineFactory;
class ISpreadsheetConnector;

/// What a run does about writing its results back into a text data file.
enum class SavePolicy : std::uint8_t {
    Ask,   ///< check before the fit; when the file cannot take them, ask whether to fit anyway
    Stop,  ///< check before the fit; when the file cannot take them, say why and stop
    Never  ///< fit and show the results without writing them
};

struct RunOptions {
    /// The working folder, ending with the folder separator, in which the path box's name is
    /// looked up; empty: the current folder.
    std::string WorkFolder;
    /// The 1-based position of "/ie" on the command line, 0 when absent: lifts the
    /// temperature, pressure and water-density range checks.
    std::int16_t IgnoreLimits = 0;
    SavePolicy Saving = SavePolicy::Ask;
    /// Stops the fit between two engine calls; it then ends as a failed fit does.
    StopToken Stop;
    /// The thermodynamic engine; null: Varsel's own, a new session for this run.
    IEngineFactory* Engine = nullptr;
    /// The office application for workbook data files; null: workbooks cannot be run.
    ISpreadsheetConnector* Spreadsheet = nullptr;
};

struct RunResult {
    /// The results are in the data file; a workbook's are in its cells in the office, which
    /// the user still has to save there.
    bool Saved = false;
    /// 0 success, -1 a quiet stop (the user was told, or declined), above 0 a failure that
    /// the window has shown.
    std::int16_t StatusCode = 0;
    std::string StatusText;
    std::string WorkFolder;  ///< as the run left it: the current folder when it was empty
    /// What the fit learned; Filled is false when the run did not reach its first pass.
    FitSummary Summary;
};

/// Makes one run on the data file named in `window`'s path box. Never throws: a failure that
/// no stage expected is shown in the window and ends the run in order.
RunResult Run(IWindow& window, const RunOptions& options);

/// Tells the user in `window` that a run ended by a failure nobody expected ("The run ended
/// unexpectedly: " and the reason) and gives the window its controls back. For a front end
/// whose own code around Run threw.
void EndRunUnexpectedly(IWindow& window, const std::string& reason) noexcept;

/// The office application (LibreOffice Calc) for workbook data files; null when this build
/// has no office backend.
std::shared_ptr<ISpreadsheetConnector> MakeOfficeConnector();

}  // namespace varsel
