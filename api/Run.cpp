#include "varsel/Run.h"

#include <memory>

#include "engine/EngineFactory.h"
#include "model/ProblemModel.h"
#include "services/RunContext.h"
#include "shell/RunSequence.h"
#include "varsel/Window.h"

#ifdef VARSEL_HAVE_UNO
#include "services/uno/CalcConnector.h"
#endif

namespace varsel {

RunResult Run(IWindow& window, const RunOptions& options) {
    ProblemModel m;
    m.WorkFolder = options.WorkFolder;
    m.IgnoreLimits = options.IgnoreLimits;
    m.Saving = options.Saving;

    std::unique_ptr<engine::EngineFactory> ownEngine;
    RunContext context;
    context.Window = &window;
    context.Engine = options.Engine;
    if (context.Engine == nullptr) {
        ownEngine = std::make_unique<engine::EngineFactory>();
        context.Engine = ownEngine.get();
    }
    context.Spreadsheet = options.Spreadsheet;
    context.Stop = options.Stop;

    RunOutcome outcome = RunSequence(m, context);
    RunResult result;
    result.Saved = outcome.Saved;
    result.StatusCode = m.StatusCode;
    result.StatusText = m.StatusText;
    result.WorkFolder = m.WorkFolder;
    result.Summary = std::move(outcome.Summary);
    return result;
}

void EndRunUnexpectedly(IWindow& window, const std::string& reason) noexcept {
    ShowUnexpectedEnd(window, reason);
    try {
        window.SetStartVisible(true);
        window.SetBrowseEnabled(true);
        window.SetPathEnabled(true);
    } catch (...) {
        // A window that cannot even show its controls has nothing more to offer.
    }
}

std::shared_ptr<ISpreadsheetConnector> MakeOfficeConnector() {
#ifdef VARSEL_HAVE_UNO
    return MakeCalcConnector();
#else
    return nullptr;
#endif
}

}  // namespace varsel
