// The run that one press of the start button makes: read the data file, set the engine's
// switch, fit the species values, save the results, and end by restoring the window and
// releasing every engine and spreadsheet object. The public run (varsel/Run.h), which the
// window and the command line call, makes its runs through it; it talks to the user only
// through the context's window.
#pragma once

#include <string>

#include "model/ProblemModel.h"
#include "services/RunContext.h"
#include "varsel/FitSummary.h"

namespace varsel {

class IWindow;

/// How a run ended, besides the problem's StatusCode and StatusText.
struct RunOutcome {
    bool Saved = false;  ///< the results are in the data file
    FitSummary Summary;  ///< what the fit learned (Filled once it made its first pass)
};

/// Runs the whole sequence on the data file named in the context window's path box. Saved
/// when the results were written (after a successful fit, or a failed one the user chose to
/// save). Never throws.
RunOutcome RunSequence(ProblemModel& m, RunContext& context);

/// Sets the engine's switch and fits the problem (FitParameters); a stop requested after the
/// fit's last engine call still makes it a failure. Never throws.
FitSummary SwitchAndFit(ProblemModel& m, RunContext& context, bool intervals = true);

/// Ends a run that stopped by an exception no stage expected: tells the user why on the
/// context's window, records the failure in the problem and ends the run as EndRun does.
void EndUnexpectedly(ProblemModel& m, RunContext& context, const std::string& reason);

/// Clears the drawing and shows "The run ended unexpectedly: " with the reason.
void ShowUnexpectedEnd(IWindow& window, const std::string& reason) noexcept;

/// Ends a run, whatever stopped it: shows the start button again, enables the browse button
/// and the path box, and releases every engine and spreadsheet object (the spreadsheet
/// application and its workbook stay open).
void EndRun(ProblemModel& m, RunContext& context);

}  // namespace varsel
