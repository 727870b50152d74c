#include "QuietWindow.h"

namespace varsel::api {

void QuietWindow::SetStatusCaption(const std::string& caption) {
    if (captions_ && !caption.empty()) captions_(caption);
}

MessageAnswer QuietWindow::ShowMessage(const std::string& text, MessageButtons buttons,
                                       MessageIcon /*icon*/) {
    messages_.push_back(text);
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

}  // namespace varsel::api
