// A window for tests: records every caption, control change, drawing and message box of a
// run, and answers message boxes from a queue (Yes/No questions default to No).
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "varsel/Window.h"

namespace varsel::test {

struct ShownMessage {
    std::string Text;
    MessageButtons Buttons;
    MessageIcon Icon;
    bool operator==(const ShownMessage&) const = default;
};
inline void PrintTo(const ShownMessage& m, std::ostream* out) {
    *out << '"' << m.Text << "\" buttons " << static_cast<int>(m.Buttons) << " icon "
         << static_cast<int>(m.Icon);
}
using Shown = std::vector<ShownMessage>;

struct DrawnRectangle {
    float Left, Top, Width, Height;
    int Red, Green, Blue;
};

class RecordingWindow : public IWindow {
  public:
    std::string Path;
    std::vector<std::string> Captions;
    std::vector<ShownMessage> Messages;
    std::vector<DrawnRectangle> Rectangles;  ///< what is drawn now (cleared by ClearDrawing)
    int RectanglesDrawn = 0;                 ///< every rectangle ever drawn
    int EventRounds = 0;
    int PausedMilliseconds = 0;
    int FocusRequests = 0;
    bool StartVisible = true;
    bool BrowseEnabled = true;
    bool PathEnabled = true;
    /// Answers for the next YesNo message boxes, first first.
    std::deque<MessageAnswer> Answers;

    std::string PathText() override { return Path; }
    void SetPathText(const std::string& text) override { Path = text; }
    void SetStatusCaption(const std::string& caption) override { Captions.push_back(caption); }
    void SetStartVisible(bool visible) override { StartVisible = visible; }
    void SetBrowseEnabled(bool enabled) override { BrowseEnabled = enabled; }
    void SetPathEnabled(bool enabled) override { PathEnabled = enabled; }
    void ProcessEvents() override { ++EventRounds; }
    void Pause(int milliseconds) override { PausedMilliseconds += milliseconds; }
    void TakeFocus() override { ++FocusRequests; }
    LabelGeometry StatusGeometry() override { return {240, 1020, 4095, 270, 15, 15}; }
    void DrawFilledRectangle(float left, float top, float width, float height, int red, int green,
                             int blue) override;
    void ClearDrawing() override;
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons,
                              MessageIcon icon) override;

    /// The last caption shown, empty when none.
    std::string LastCaption() const { return Captions.empty() ? std::string() : Captions.back(); }
};

}  // namespace varsel::test
