// The office's windows as this program finds them: the frames of the desktop, the layout manager
// and progress bar of a frame, the text that names a document, and giving back the windows of
// documents that a program locked and could not unlock itself. Shared by the backend and the
// guardian program that watches over a run.
#pragma once

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XLayoutManager.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/task/XStatusIndicator.hpp>
#include <string>
#include <vector>

#include "services/uno/UnoBridge.h"

namespace varsel::calc {

inline constexpr char kStatusBar[] = "private:resource/statusbar/statusbar";
inline constexpr char kProgressBar[] = "private:resource/progressbar/progressbar";

/// The office's frames (its windows).
std::vector<css::uno::Reference<css::frame::XFrame>> FramesOf(
    const css::uno::Reference<css::frame::XDesktop2>& desktop);

css::uno::Reference<css::frame::XLayoutManager> LayoutManagerOf(
    const css::uno::Reference<css::frame::XFrame>& frame);

/// The progress bar of a frame as a status indicator, made first when `create` is set; null
/// when the frame has none.
css::uno::Reference<css::task::XStatusIndicator> ProgressBarOf(
    const css::uno::Reference<css::frame::XLayoutManager>& manager, bool create);

/// The text that names a document in the lock record: its URL, or its title when unsaved.
std::string DocumentKey(const css::uno::Reference<css::frame::XModel>& document);

/// Enables the windows of the documents named by `documents` (their keys) and ends their
/// progress bars, so that the status bar returns. UNO exceptions pass through.
void GiveBackWindows(const css::uno::Reference<css::frame::XDesktop2>& desktop,
                     const std::vector<std::string>& documents);

}  // namespace varsel::calc
