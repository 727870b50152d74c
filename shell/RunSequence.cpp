#include "shell/RunSequence.h"

#include <chrono>
#include <exception>
#include <memory>
#include <string>

#include "files/MessageText.h"
#include "model/DataSource.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "model/Reader.h"
#include "optim/FitDriver.h"
#include "optim/FitSummary.h"
#include "optim/Misfit.h"
#include "output/ResultsWriter.h"
#include "services/EngineContract.h"
#include "services/RunContext.h"
#include "shell/ResultsSummary.h"
#include "varsel/Window.h"

namespace varsel {

FitSummary SwitchAndFit(ProblemModel& m, RunContext& context, bool intervals) {
    try {
        // The engine traces nothing during a fit.
        m.Solver->SetSwitch(kTraceSwitch, 0);
    } catch (const std::exception& failure) {
        m.StatusCode = 1;
        m.StatusText = failure.what();
        FitSummary summary;
        FillFitSummary(summary, m, 0, 0.0);
        summary.Outcome = m.StatusText;
        return summary;
    }
    FitSummary summary = FitParameters(m, context, intervals);
    // A stop that came after the last engine call of the fit still ends the run before
    // anything is saved.
    if (m.StatusCode == 0 && context.Stop.Requested()) {
        m.StatusCode = 1;
        m.StatusText = kStoppedByUser;
        summary.Succeeded = false;
        summary.Outcome = kStoppedByUser;
    }
    return summary;
}

namespace {

// Whether the fit's results will be written back. A fit may take minutes; before it starts,
// the text data file is tried, and when it cannot take the results the user decides (or the
// policy does) instead of learning it after the fit. Leaves StatusCode 1 when the run stops
// with a reason, -1 when the user declined to fit.
bool ChooseSaving(ProblemModel& m, IWindow& window, std::unique_ptr<FileReplacement>& reservation) {
    if (m.Saving == SavePolicy::Never) return false;
    const std::string problem = SaveProblem(m, &reservation);
    if (problem.empty()) return true;
    const std::string reason = "Results cannot be saved: " + problem;
    if (m.Saving == SavePolicy::Stop) {
        m.StatusCode = 1;
        m.StatusText = reason;
        window.ShowMessage(reason + "  ", MessageButtons::Ok, MessageIcon::Critical);
        return false;
    }
    const MessageAnswer answer =
        window.ShowMessage(reason + "\r\nFit anyway and show the results without saving them?  ",
                           MessageButtons::YesNo, MessageIcon::Exclamation);
    if (answer != MessageAnswer::Yes) m.StatusCode = kStatusQuietStop;
    return false;
}

// What the window says once the results are in the file. A file that fixes every species
// was only recalculated, which the user is told with the mean error it gave.
std::string SavedText(const ProblemModel& m) {
    const std::string nothing = NothingToFitText(m);
    if (nothing.empty()) return "Results are saved  ";
    return nothing + ".    Mean error: " + FixedSix(MeanError(m, m.ResultSumOfSquares)) + "  ";
}

}  // namespace

void EndRun(ProblemModel& m, RunContext& context) {
    if (IWindow* window = context.Window) {
        window->SetStartVisible(true);
        window->SetBrowseEnabled(true);
        window->SetPathEnabled(true);
    }
    m.Thermo.reset();
    m.SystemReader.reset();
    if (m.Solver) {
        try {
            m.Solver->Close();
        } catch (const std::exception&) {
            // The session ends with the release below either way.
        }
        m.Solver.reset();
    }
    m.DataSheet.reset();
    m.DataWorkbook.reset();
    m.ExcelAppTyped.reset();
    m.ExcelApp.reset();
}

void EndUnexpectedly(ProblemModel& m, RunContext& context, const std::string& reason) {
    if (context.Window != nullptr) ShowUnexpectedEnd(*context.Window, reason);
    if (m.StatusCode <= 0) m.StatusCode = 1;
    m.StatusText = reason;
    EndRun(m, context);
}

void ShowUnexpectedEnd(IWindow& window, const std::string& reason) noexcept {
    try {
        window.ClearDrawing();
        window.ShowMessage("The run ended unexpectedly: " + Printable(reason) + "  ",
                           MessageButtons::Ok, MessageIcon::Critical);
    } catch (...) {
        // Nothing more can be shown; the caller still restores the controls and objects.
    }
}

namespace {

// The fit and what the user is told after it; `save` says whether the results are written.
// `outcome.Saved` is set once the results are in the data file, before the window is told so.
void FitAndReport(ProblemModel& m, RunContext& context, IWindow& window, bool save,
                  std::unique_ptr<FileReplacement> reservation, RunOutcome& outcome) {
    outcome.Summary = SwitchAndFit(m, context);
    if (m.StatusCode > 0) {
        m.StatusText = "Optimization: " + Printable(m.StatusText) + "  ";
        if (m.IsWorkbook) {
            window.ShowMessage(m.StatusText, MessageButtons::Ok, MessageIcon::None);
        } else if (!save) {
            // The state reached cannot be saved: there is nothing to ask.
            window.ShowMessage(m.StatusText, MessageButtons::Ok, MessageIcon::Critical);
        } else if (!m.ResultReached) {
            // No pass over the samples was completed: there is no state that could be saved
            // without mixing values of different points, and the file keeps what it had.
            window.ShowMessage(m.StatusText +
                                   "\r\nNo pass over the samples was completed, so "
                                   "there is nothing to save.  ",
                               MessageButtons::Ok, MessageIcon::Critical);
        } else {
            const MessageAnswer answer =
                window.ShowMessage(m.StatusText + "\r\nDo you want to save the current state?  ",
                                   MessageButtons::YesNo, MessageIcon::Critical);
            // Yes saves the last point whose every sample was evaluated (the driver has put it
            // back) as if the fit had succeeded.
            if (answer == MessageAnswer::Yes) m.StatusCode = 0;
        }
    }
    if (m.StatusCode != 0) return;
    if (!save && !m.IsWorkbook) {
        window.SetStatusCaption("");
        window.ShowMessage("Results are not saved  \r\n" + ResultsSummary(m), MessageButtons::Ok,
                           MessageIcon::Information);
        return;
    }
    SaveResults(m, context, std::move(reservation));
    if (m.StatusCode == 0) {
        window.SetStatusCaption("");
        outcome.Saved = true;
        window.ShowMessage(SavedText(m), MessageButtons::Ok, MessageIcon::Information);
    }
}

void RunStages(ProblemModel& m, RunContext& context, IWindow& window, RunOutcome& outcome) {
    ReadDataFile(m, context);
    if (m.StatusCode == 0 && !m.IsWorkbook) RemoveStaleTemporaries(m.DataFile);
    if (m.StatusCode > 0) {
        window.ShowMessage("Source data: " + m.StatusText + "  ", MessageButtons::Ok,
                           MessageIcon::Critical);
    } else if (m.StatusCode == 0) {
        // The temporary file of the results and their disk space are held through the fit.
        std::unique_ptr<FileReplacement> reservation;
        const bool save = ChooseSaving(m, window, reservation);
        if (m.StatusCode == 0) {
            FitAndReport(m, context, window, save, std::move(reservation), outcome);
        }
    }
    EndRun(m, context);
}

}  // namespace

RunOutcome RunSequence(ProblemModel& m, RunContext& context) {
    RunOutcome outcome;
    const auto start = std::chrono::steady_clock::now();
    if (context.Window == nullptr) {
        EndUnexpectedly(m, context, "no window to run in");
        return outcome;
    }
    // The workbook's cells are written as the run goes; a text file has none to write.
    DataSheetCells sheetCells(m);
    CellSink* const ownSink = context.Cells;
    if (context.Cells == nullptr) context.Cells = &sheetCells;
    try {
        RunStages(m, context, *context.Window, outcome);
    } catch (const std::exception& failure) {
        EndUnexpectedly(m, context, failure.what());
    } catch (...) {
        EndUnexpectedly(m, context, "unknown failure");
    }
    context.Cells = ownSink;
    // The run's time is the whole run's, reading and saving included: what the user waited.
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    outcome.Summary.WallSeconds = wall.count();
    return outcome;
}

}  // namespace varsel
