#include "shell/RunSequence.h"

#include <exception>
#include <string>

#include "model/DataSource.h"
#include "model/MessageText.h"
#include "model/ProblemModel.h"
#include "model/Reader.h"
#include "optim/FitDriver.h"
#include "output/ResultsWriter.h"
#include "services/Platform.h"
#include "services/StopRequest.h"
#include "services/Window.h"
#include "shell/ResultsSummary.h"

namespace varsel {

namespace {

// The engine's switch 27 is set to 0 before every fit.
constexpr std::int16_t kFitSwitch = 27;

void SwitchAndFit(ProblemModel& m) {
    try {
        m.Solver->SetSwitch(kFitSwitch, 0);
    } catch (const std::exception& failure) {
        m.StatusCode = 1;
        m.StatusText = failure.what();
        return;
    }
    FitParameters();
    // A stop that came after the last engine call of the fit still ends the run before
    // anything is saved.
    if (m.StatusCode == 0 && StopRequested()) {
        m.StatusCode = 1;
        m.StatusText = kStoppedByUser;
    }
}

// Whether the fit's results will be written back. A fit may take minutes; before it starts,
// the text data file is tried, and when it cannot take the results the user decides (or the
// policy does) instead of learning it after the fit. Leaves StatusCode 1 when the run stops
// with a reason, -1 when the user declined to fit.
bool ChooseSaving(ProblemModel& m, IWindow& window) {
    if (m.Saving == SavePolicy::Never) return false;
    const std::string problem = SaveProblem();
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

// End of every run: the window's controls come back, and every engine and spreadsheet
// object is released. The spreadsheet application and its workbook stay open.
void EndRun(ProblemModel& m, IWindow& window) {
    window.SetStartVisible(true);
    window.SetBrowseEnabled(true);
    window.SetPathEnabled(true);
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
    ClearStopRequest();
}

// A failure that no stage reported through StatusCode (an engine or spreadsheet call that
// threw where nothing expected it): the user is told, and the run still ends in order.
void EndUnexpectedly(ProblemModel& m, IWindow& window, const std::string& reason) {
    try {
        window.ClearDrawing();
        CloseDataSource();
        window.ShowMessage("The run ended unexpectedly: " + Printable(reason) + "  ",
                           MessageButtons::Ok, MessageIcon::Critical);
    } catch (...) {
        // Nothing more can be shown; the controls and objects are still restored below.
    }
    if (m.StatusCode <= 0) m.StatusCode = 1;
    m.StatusText = reason;
    EndRun(m, window);
}

// The fit and what the user is told after it; `save` says whether the results are written.
// `saved` is set once the results are in the data file, before the window is told so.
void FitAndReport(ProblemModel& m, IWindow& window, bool save, bool& saved) {
    SwitchAndFit(m);
    if (m.StatusCode > 0) {
        m.StatusText = "Optimization: " + Printable(m.StatusText) + "  ";
        if (m.IsWorkbook) {
            window.ShowMessage(m.StatusText, MessageButtons::Ok, MessageIcon::None);
        } else if (!save) {
            // The state reached cannot be saved: there is nothing to ask.
            window.ShowMessage(m.StatusText, MessageButtons::Ok, MessageIcon::Critical);
        } else {
            const MessageAnswer answer =
                window.ShowMessage(m.StatusText + "\r\nDo you want to save the current state?  ",
                                   MessageButtons::YesNo, MessageIcon::Critical);
            // Yes saves the values reached so far as if the fit had succeeded.
            if (answer == MessageAnswer::Yes) m.StatusCode = 0;
        }
    }
    if (m.StatusCode != 0) return;
    if (!save && !m.IsWorkbook) {
        window.SetStatusCaption("");
        window.ShowMessage("Results are not saved  \r\n" + ResultsSummary(), MessageButtons::Ok,
                           MessageIcon::Information);
        return;
    }
    SaveResults();
    if (m.StatusCode == 0) {
        window.SetStatusCaption("");
        saved = true;
        window.ShowMessage("Results are saved  ", MessageButtons::Ok, MessageIcon::Information);
    }
}

void RunStages(ProblemModel& m, IWindow& window, bool& saved) {
    ReadDataFile();
    if (m.StatusCode == 0 && !m.IsWorkbook) {
        RemoveStaleTemporaries(m.WorkFolder + window.PathText());
    }
    if (m.StatusCode > 0) {
        window.ShowMessage("Source data: " + m.StatusText + "  ", MessageButtons::Ok,
                           MessageIcon::Critical);
    } else if (m.StatusCode == 0) {
        const bool save = ChooseSaving(m, window);
        if (m.StatusCode == 0) FitAndReport(m, window, save, saved);
    }
    EndRun(m, window);
}

}  // namespace

bool RunSequence() {
    ProblemModel& m = Model();
    IWindow& window = *ThePlatform().Window;
    bool saved = false;
    try {
        RunStages(m, window, saved);
    } catch (const std::exception& failure) {
        EndUnexpectedly(m, window, failure.what());
    } catch (...) {
        EndUnexpectedly(m, window, "unknown failure");
    }
    return saved;
}

void EndUnexpectedly(IWindow& window, const std::string& reason) {
    EndUnexpectedly(Model(), window, reason);
}

void EndRun() {
    if (IWindow* window = ThePlatform().Window) EndRun(Model(), *window);
}

}  // namespace varsel
