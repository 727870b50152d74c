// The window of the command line: the status captions become progress lines, every message
// box becomes one line of text, and the save question after a failed fit is answered from
// the command line's option. Drawing and event processing have nothing to do here.
#pragma once

#include <cstdio>
#include <string>

#include "varsel/Window.h"

namespace varsel::cli {

class ConsoleWindow : public IWindow {
  public:
    /// `out` receives the lines; `saveOnFailure` is the answer to the save question.
    ConsoleWindow(std::FILE* out, bool saveOnFailure) : out_(out), saveOnFailure_(saveOnFailure) {}

    std::string PathText() override { return path_; }
    void SetPathText(const std::string& text) override { path_ = text; }
    void SetStatusCaption(const std::string& caption) override;
    void SetStartVisible(bool) override {}
    void SetBrowseEnabled(bool) override {}
    void SetPathEnabled(bool) override {}
    void ProcessEvents() override {}
    // The pause lets the window show its full progress bar; a console has none to show.
    void Pause(int) override {}
    void TakeFocus() override {}
    LabelGeometry StatusGeometry() override { return LabelGeometry(); }
    void DrawFilledRectangle(float, float, float, float, int, int, int) override {}
    void ClearDrawing() override {}
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons,
                              MessageIcon icon) override;

    /// True once a message with the stop icon (a failure) has been shown.
    bool FailureShown() const { return failureShown_; }

  private:
    std::FILE* out_;
    bool saveOnFailure_;
    std::string path_;
    bool failureShown_ = false;
};

}  // namespace varsel::cli
