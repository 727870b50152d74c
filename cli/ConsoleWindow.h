// The window of the command line: the status captions become progress lines, every message
// box becomes one line of text, and the save question after a failed fit is answered from
// the command line's option. Drawing and event processing have nothing to do here.
#pragma once

#include <cstdio>
#include <string>

#include "varsel/Window.h"

namespace varsel::cli {

class ConsoleWindow : public HeadlessWindow {
  public:
    /// `out` receives the lines; `saveOnFailure` is the answer to the save question.
    ConsoleWindow(std::FILE* out, bool saveOnFailure) : out_(out), saveOnFailure_(saveOnFailure) {}

    void SetStatusCaption(const std::string& caption) override;
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons,
                              MessageIcon icon) override;

    /// True once a message with the stop icon (a failure) has been shown.
    bool FailureShown() const { return failureShown_; }

  private:
    std::FILE* out_;
    bool saveOnFailure_;
    bool failureShown_ = false;
};

}  // namespace varsel::cli
