#include "support/RecordingWindow.h"

namespace varsel::test {

void RecordingWindow::DrawFilledRectangle(float left, float top, float width, float height, int red,
                                          int green, int blue) {
    Rectangles.push_back({left, top, width, height, red, green, blue});
    ++RectanglesDrawn;
}

void RecordingWindow::ClearDrawing() {
    Rectangles.clear();
}

MessageAnswer RecordingWindow::ShowMessage(const std::string& text, MessageButtons buttons,
                                           MessageIcon icon) {
    Messages.push_back({text, buttons, icon});
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    if (Answers.empty()) return MessageAnswer::No;
    const MessageAnswer answer = Answers.front();
    Answers.pop_front();
    return answer;
}

}  // namespace varsel::test
