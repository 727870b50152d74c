#include "services/uno/CalcSession.h"

#include <unistd.h>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XLayoutManager.hpp>
#include <utility>

namespace varsel::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY;

CalcSession::CalcSession(const Reference<css::uno::XComponentContext>& office,
                         const CalcOptions& options)
    : record_(options.LockRecordPath),
      guardian_(options.GuardianProgram, options.PipeName, options.LockRecordPath) {
    desktop_ = Calling("reach its desktop", [&] { return css::frame::Desktop::create(office); });
}

CalcSession::~CalcSession() {
    // Whatever way the run ended, the user gets the office back as it was.
    try {
        EndStatus();
    } catch (...) {
    }
    EnableInput();
    try {
        SetScreenUpdating(true);
    } catch (...) {
    }
}

void CalcSession::SetDataDocument(const Reference<css::frame::XModel>& document) {
    dataDocument_ = document;
}

Reference<css::frame::XModel> CalcSession::Document() {
    if (dataDocument_.is()) return dataDocument_;
    return Reference<css::frame::XModel>(desktop_->getCurrentComponent(), UNO_QUERY);
}

Reference<css::frame::XFrame> CalcSession::Frame() {
    const Reference<css::frame::XModel> document = Document();
    if (!document.is()) return Reference<css::frame::XFrame>();
    const Reference<css::frame::XController> controller = document->getCurrentController();
    return controller.is() ? controller->getFrame() : Reference<css::frame::XFrame>();
}

std::vector<Reference<css::frame::XFrame>> CalcSession::Frames() {
    return FramesOf(desktop_);
}

std::vector<Reference<css::frame::XFrame>> CalcSession::DocumentFrames(
    const Reference<css::frame::XModel>& document) {
    std::vector<Reference<css::frame::XFrame>> frames;
    if (!document.is()) return frames;
    for (const Reference<css::frame::XFrame>& frame : Frames()) {
        const Reference<css::frame::XController> controller = frame->getController();
        if (controller.is() && controller->getModel() == document) frames.push_back(frame);
    }
    return frames;
}

bool CalcSession::StatusBarVisible() {
    return Calling("read whether the status bar is shown", [&] {
        const Reference<css::frame::XLayoutManager> manager = LayoutManagerOf(Frame());
        return !manager.is() || manager->isElementVisible(kStatusBar);
    });
}

void CalcSession::SetStatusBarVisible(bool visible) {
    Calling(visible ? "show the status bar" : "hide the status bar", [&] {
        const Reference<css::frame::XLayoutManager> manager = LayoutManagerOf(Frame());
        if (!manager.is() || manager->isElementVisible(kStatusBar) == visible) return;
        if (visible) {
            manager->showElement(kStatusBar);
        } else {
            manager->hideElement(kStatusBar);
        }
    });
}

void CalcSession::ShowStatus(const std::string& text) {
    Calling("show \"" + text + "\" in the status bar", [&] {
        if (!indicator_.is()) {
            const Reference<css::frame::XModel> document = Document();
            const Reference<css::frame::XLayoutManager> manager = LayoutManagerOf(Frame());
            const Reference<css::task::XStatusIndicator> indicator = ProgressBarOf(manager, true);
            if (!indicator.is()) return;
            Mark(document);
            indicatorManager_ = manager;
            indicator_ = indicator;
            manager->showElement(kProgressBar);
            indicator_->start(FromUtf8(text), 0);
        } else {
            // The office hides the bar when a progress of its own ends in the meantime.
            indicatorManager_->showElement(kProgressBar);
            indicator_->setText(FromUtf8(text));
        }
    });
}

void CalcSession::EndStatus() {
    if (!indicator_.is()) return;
    const Reference<css::task::XStatusIndicator> indicator = std::move(indicator_);
    const Reference<css::frame::XLayoutManager> manager = std::move(indicatorManager_);
    indicator_.clear();
    indicatorManager_.clear();
    Calling("end the status indicator", [&] {
        indicator->end();
        manager->hideElement(kProgressBar);
    });
    Unmark();
}

void CalcSession::Mark(const Reference<css::frame::XModel>& document) {
    if (!markedKey_.empty()) return;
    markedKey_ = DocumentKey(document);
    // The guardian hears of the lock (and is started, when it is not there yet) before
    // anything is locked, so that the program cannot die holding a lock it does not know of.
    guardian_.Locking(markedKey_);
    record_.Add(getpid(), markedKey_);
}

void CalcSession::Unmark() noexcept {
    if (markedKey_.empty() || indicator_.is() || !disabledWindows_.empty()) return;
    try {
        record_.Remove(getpid(), markedKey_);
    } catch (...) {
    }
    guardian_.Released();
    markedKey_.clear();
}

void CalcSession::SetInputEnabled(bool enabled) {
    if (enabled) {
        EnableInput();
        return;
    }
    if (!disabledWindows_.empty()) return;
    Calling("lock the input of the workbook window", [&] {
        const Reference<css::frame::XModel> document = Document();
        if (!document.is()) return;
        // Noted before the first window is disabled, so that even a crash right afterwards
        // leaves a trace for the next attach to clean up.
        Mark(document);
        for (const Reference<css::frame::XFrame>& frame : DocumentFrames(document)) {
            const Reference<css::awt::XWindow2> window(frame->getContainerWindow(), UNO_QUERY);
            if (!window.is() || !window->isEnabled()) continue;
            disabledWindows_.push_back(Reference<css::awt::XWindow>(window, UNO_QUERY));
            window->setEnable(false);
        }
    });
}

void CalcSession::EnableInput() noexcept {
    std::vector<Reference<css::awt::XWindow>> windows = std::move(disabledWindows_);
    disabledWindows_.clear();
    for (const Reference<css::awt::XWindow>& window : windows) {
        try {
            window->setEnable(true);
        } catch (...) {
            // A window closed in the meantime, or the office has gone: nothing to enable.
        }
    }
    Unmark();
}

void CalcSession::SetScreenUpdating(bool updating) {
    Calling(updating ? "resume screen updating" : "pause screen updating", [&] {
        if (updating) {
            while (controllerLocks_ > 0) {
                --controllerLocks_;
                lockedControllers_->unlockControllers();
            }
            lockedControllers_.clear();
            return;
        }
        const Reference<css::frame::XModel> document = Document();
        if (!document.is() || controllerLocks_ > 0) return;
        document->lockControllers();
        lockedControllers_ = document;
        ++controllerLocks_;
    });
}

void CalcSession::RestoreOrphanedLocks() {
    const std::vector<std::string> orphans = record_.TakeOrphans();
    if (orphans.empty()) return;
    Calling("give back the workbook windows that a program left locked",
            [&] { GiveBackWindows(desktop_, orphans); });
}

}  // namespace varsel::calc
