// What the run asks of the main window: the path box, the status caption, the controls that a
// run hides and disables, event processing, the progress rectangle and message boxes. The Qt
// window implements it with widgets, the command line with plain text, tests with a recorder.
#pragma once

#include <string>

namespace varsel {

/// Every message box of the program carries this title.
inline constexpr const char* kMessageTitle = "Varsel";

enum class MessageIcon { None, Critical, Exclamation, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

/// Position and size of the Status label in the window's units (twips), with the size of one
/// screen pixel in the same units.
struct LabelGeometry {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    float PixelWidth = 15;
    float PixelHeight = 15;
};

class IWindow {
  public:
    virtual ~IWindow() = default;

    /// The text of the path box (txtFile), untrimmed.
    virtual std::string PathText() = 0;
    virtual void SetPathText(const std::string& text) = 0;
    /// The caption of the Status label.
    virtual void SetStatusCaption(const std::string& caption) = 0;
    /// Shows or hides the start button (cmdStart).
    virtual void SetStartVisible(bool visible) = 0;
    /// Enables or disables the browse button (cmdBrowse).
    virtual void SetBrowseEnabled(bool enabled) = 0;
    /// Enables or disables the path box (txtFile).
    virtual void SetPathEnabled(bool enabled) = 0;
    /// Processes the window's pending events.
    virtual void ProcessEvents() = 0;
    /// Waits for `milliseconds`, processing events meanwhile.
    virtual void Pause(int milliseconds) = 0;
    /// Brings the main window to the front and gives it the focus.
    virtual void TakeFocus() = 0;
    /// Geometry of the Status label, over which the progress bar is drawn.
    virtual LabelGeometry StatusGeometry() = 0;
    /// Draws a filled rectangle (window units) in the colour red, green, blue (0 .. 255).
    virtual void DrawFilledRectangle(float left, float top, float width, float height, int red,
                                     int green, int blue) = 0;
    /// Clears everything drawn on the window's surface.
    virtual void ClearDrawing() = 0;
    /// Shows a modal message box titled kMessageTitle and returns the button pressed.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons,
                                      MessageIcon icon) = 0;
};

/// A window without a screen, for a run that no one watches on a display: the path box holds
/// a text, and controls, events, pauses and drawing do nothing. A subclass shows the captions
/// and messages in its own way.
class HeadlessWindow : public IWindow {
  public:
    std::string PathText() override { return path_; }
    void SetPathText(const std::string& text) override { path_ = text; }
    void SetStartVisible(bool) override {}
    void SetBrowseEnabled(bool) override {}
    void SetPathEnabled(bool) override {}
    void ProcessEvents() override {}
    void Pause(int) override {}
    void TakeFocus() override {}
    LabelGeometry StatusGeometry() override { return LabelGeometry(); }
    void DrawFilledRectangle(float, float, float, float, int, int, int) override {}
    void ClearDrawing() override {}

  private:
    std::string path_;
};

}  // namespace varsel
