#include "ConsoleWindow.h"

namespace varsel::cli {

void ConsoleWindow::SetStatusCaption(const std::string& caption) {
    if (caption.empty()) return;
    std::fprintf(out_, "%s\n", caption.c_str());
    std::fflush(out_);
}

MessageAnswer ConsoleWindow::ShowMessage(const std::string& text, MessageButtons buttons,
                                         MessageIcon icon) {
    // One line: the text's own line breaks become blanks.
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        line.push_back(text[i] == '\n' || text[i] == '\r' ? ' ' : text[i]);
    }
    if (icon == MessageIcon::Critical) failureShown_ = true;
    MessageAnswer answer = MessageAnswer::Ok;
    if (buttons == MessageButtons::YesNo) {
        answer = saveOnFailure_ ? MessageAnswer::Yes : MessageAnswer::No;
        line += answer == MessageAnswer::Yes ? " [Yes]" : " [No]";
    }
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
    return answer;
}

}  // namespace varsel::cli
