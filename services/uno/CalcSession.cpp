#include "services/uno/CalcSession.h"

#include <unistd.h>
#include <algorithm>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XLayoutManager.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/ui/XUIElement.hpp>
#include <utility>

namespace varsel::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY;

namespace {

constexpr char kStatusBar[] = "private:resource/statusbar/statusbar";
constexpr char kProgressBar[] = "private:resource/progressbar/progressbar";

Reference<css::frame::XLayoutManager> LayoutManagerOf(const Reference<css::frame::XFrame>& frame) {
    Reference<css::frame::XLayoutManager> manager;
    const Reference<css::beans::XPropertySet> properties(frame, UNO_QUERY);
    if (properties.is()) properties->getPropertyValue("LayoutManager") >>= manager;
    return manager;
}

// The progress bar of a frame as a status indicator. The program drives it directly rather
// than through an indicator of the frame's indicator factory: the factory keeps every
// indicator it made until that indicator is ended, so one left behind by a program that died
// would hold the bar for good, while the bar itself can always be ended by the next attach.
Reference<css::task::XStatusIndicator> ProgressBarOf(
    const Reference<css::frame::XLayoutManager>& manager, bool create) {
    if (!manager.is()) return Reference<css::task::XStatusIndicator>();
    if (create && !manager->getElement(kProgressBar).is()) manager->createElement(kProgressBar);
    const Reference<css::ui::XUIElement> element = manager->getElement(kProgressBar);
    if (!element.is()) return Reference<css::task::XStatusIndicator>();
    return Reference<css::task::XStatusIndicator>(element->getRealInterface(), UNO_QUERY);
}

}  // namespace

std::string DocumentKey(const Reference<css::frame::XModel>& document) {
    if (!document.is()) return std::string();
    const rtl::OUString url = document->getURL();
    if (!url.isEmpty()) return ToUtf8(url);
    const Reference<css::frame::XTitle> title(document, UNO_QUERY);
    return title.is() ? ToUtf8(title->getTitle()) : std::string();
}

CalcSession::CalcSession(const Reference<css::uno::XComponentContext>& office,
                         std::string lockRecordPath)
    : record_(std::move(lockRecordPath)) {
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
    std::vector<Reference<css::frame::XFrame>> frames;
    const Reference<css::container::XIndexAccess> all(desktop_->getFrames(), UNO_QUERY);
    const sal_Int32 count = all.is() ? all->getCount() : 0;
    for (sal_Int32 i = 0; i < count; ++i) {
        Reference<css::frame::XFrame> frame;
        all->getByIndex(i) >>= frame;
        if (frame.is()) frames.push_back(frame);
    }
    return frames;
}

std::vector<Reference<css::frame::XFrame>> CalcSession::FramesOf(
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
    record_.Add(getpid(), markedKey_);
}

void CalcSession::Unmark() noexcept {
    if (markedKey_.empty() || indicator_.is() || !disabledWindows_.empty()) return;
    try {
        record_.Remove(getpid(), markedKey_);
    } catch (...) {
    }
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
        for (const Reference<css::frame::XFrame>& frame : FramesOf(document)) {
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
    Calling("give back the workbook windows that a program left locked", [&] {
        for (const Reference<css::frame::XFrame>& frame : Frames()) {
            const Reference<css::frame::XController> controller = frame->getController();
            if (!controller.is()) continue;
            const std::string key = DocumentKey(controller->getModel());
            if (std::find(orphans.begin(), orphans.end(), key) == orphans.end()) continue;
            const Reference<css::awt::XWindow> window = frame->getContainerWindow();
            if (window.is()) window->setEnable(true);
            const Reference<css::frame::XLayoutManager> manager = LayoutManagerOf(frame);
            const Reference<css::task::XStatusIndicator> progress = ProgressBarOf(manager, false);
            if (progress.is()) {
                progress->end();
                manager->hideElement(kProgressBar);
            }
        }
    });
}

}  // namespace varsel::calc
