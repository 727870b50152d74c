// The window of a problem that a program fits: it names the data file, hands the status
// captions to a callback, keeps every message it is shown, and answers every question with
// No. Nothing is drawn and no events are processed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "varsel/Window.h"

namespace varsel::api {

class QuietWindow : public IWindow {
  public:
    using Captions = std::function<void(const std::string&)>;

    explicit QuietWindow(std::string path, Captions captions = {})
        : path_(std::move(path)), captions_(std::move(captions)) {}

    /// The messages shown, in order.
    const std::vector<std::string>& Messages() const { return messages_; }

    std::string PathText() override { return path_; }
    void SetPathText(const std::string& text) override { path_ = text; }
    void SetStatusCaption(const std::string& caption) override;
    void SetStartVisible(bool) override {}
    void SetBrowseEnabled(bool) override {}
    void SetPathEnabled(bool) override {}
    void ProcessEvents() override {}
    void Pause(int) override {}
    void TakeFocus() override {}
    LabelGeometry StatusGeometry() override { return LabelGeometry(); }
    void DrawFilledRectangle(float, float, float, float, int, int, int) override {}
    void ClearDrawing() override {}
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons,
                              MessageIcon icon) override;

  private:
    std::string path_;
    Captions captions_;
    std::vector<std::string> messages_;
};

}  // namespace varsel::api
