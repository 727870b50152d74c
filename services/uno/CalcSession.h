// One connection to the office for one run: the desktop, the workbook the run works on, and
// what the run changed in the office's user interface (the status indicator, disabled
// document windows, locked controllers). Shared by the application, workbook and worksheet
// objects of the run; when the last of them is released, everything the run changed in the
// interface is put back, whatever way the run ended. While the interface is changed, a guardian
// process stands by to put it back should this program die first.
#pragma once

#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XLayoutManager.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/task/XStatusIndicator.hpp>
#include <string>
#include <vector>

#include "services/uno/CalcConnector.h"
#include "services/uno/InputLockRecord.h"
#include "services/uno/OfficeGuardian.h"
#include "services/uno/OfficeWindows.h"
#include "services/uno/UnoBridge.h"

namespace varsel::calc {

class CalcSession {
  public:
    /// Uses the lock record and the guardian program named in `options`.
    CalcSession(const css::uno::Reference<css::uno::XComponentContext>& office,
                const CalcOptions& options);
    ~CalcSession();
    CalcSession(const CalcSession&) = delete;
    CalcSession& operator=(const CalcSession&) = delete;

    const css::uno::Reference<css::frame::XDesktop2>& Desktop() const { return desktop_; }

    /// The workbook the run works on; the status bar and the input lock apply to its windows.
    /// Until one is named, the office's current document stands in.
    void SetDataDocument(const css::uno::Reference<css::frame::XModel>& document);

    /// Whether the document window shows its status bar.
    bool StatusBarVisible();
    void SetStatusBarVisible(bool visible);
    /// Shows `text` in the document window's status indicator, starting it when needed.
    void ShowStatus(const std::string& text);
    /// Ends the status indicator, so the window's own status bar returns.
    void EndStatus();
    /// Enables or disables user input in the windows of the document.
    void SetInputEnabled(bool enabled);
    /// Locks or unlocks the repainting of the document's views.
    void SetScreenUpdating(bool updating);
    /// The office's frames (its windows).
    std::vector<css::uno::Reference<css::frame::XFrame>> Frames();
    /// Enables the windows, and ends the status indicators, that a program which ended without
    /// doing so left behind.
    void RestoreOrphanedLocks();

  private:
    css::uno::Reference<css::frame::XModel> Document();
    css::uno::Reference<css::frame::XFrame> Frame();
    std::vector<css::uno::Reference<css::frame::XFrame>> DocumentFrames(
        const css::uno::Reference<css::frame::XModel>& document);
    void EnableInput() noexcept;
    // Notes in the lock record that this program changed the interface of `document`, and
    // drops the note once nothing is changed any more.
    void Mark(const css::uno::Reference<css::frame::XModel>& document);
    void Unmark() noexcept;

    css::uno::Reference<css::frame::XDesktop2> desktop_;
    css::uno::Reference<css::frame::XModel> dataDocument_;
    css::uno::Reference<css::task::XStatusIndicator> indicator_;
    css::uno::Reference<css::frame::XLayoutManager> indicatorManager_;
    std::vector<css::uno::Reference<css::awt::XWindow>> disabledWindows_;
    std::string markedKey_;
    css::uno::Reference<css::frame::XModel> lockedControllers_;
    int controllerLocks_ = 0;
    InputLockRecord record_;
    OfficeGuardian guardian_;
};

}  // namespace varsel::calc
