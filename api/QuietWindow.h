// The window of a problem that a program fits: it names the data file, hands the status
// captions to a callback, keeps every message it is shown, and answers every question with
// No. Nothing is drawn and no events are processed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "varsel/Window.h"

namespace varsel::api {

class QuietWindow : public HeadlessWindow {
  public:
    using Captions = std::function<void(const std::string&)>;

    explicit QuietWindow(const std::string& path, Captions captions = {})
        : captions_(std::move(captions)) {
        SetPathText(path);
    }

    /// The messages shown, in order.
    const std::vector<std::string>& Messages() const { return messages_; }

    void SetStatusCaption(const std::string& caption) override;
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons,
                              MessageIcon icon) override;

  private:
    Captions captions_;
    std::vector<std::string> messages_;
};

}  // namespace varsel::api
