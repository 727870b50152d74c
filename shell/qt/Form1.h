// The program's one window, Form1: the data file's name, the browse and start buttons, the
// Status label on which a run shows its progress (with the yellow progress bar of the
// confidence intervals drawn over it), the Stop button that takes the start button's place
// during a run, and two information labels. It implements the window
// interface through which the run talks to the user.
#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "varsel/FitSummary.h"
#include "varsel/Run.h"
#include "varsel/Stop.h"
#include "varsel/Window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace varsel::qt {

/// Twips per screen pixel: the window's geometry and the run's drawing are given in twips.
inline constexpr int kTwipsPerPixel = 15;

class Form1 final : public QWidget, public IWindow {
    Q_OBJECT

  public:
    /// The run that one press of the start button makes, given the window's options (its
    /// working folder, the "/ie" switch, the stop request, the office); null: varsel::Run
    /// with this window.
    using RunFunction = std::function<RunResult(const RunOptions&)>;

    explicit Form1(RunFunction run = nullptr, QWidget* parent = nullptr);

    /// Start-up: takes the "/ie" switch from `commandLine`, the working folder from the
    /// settings file, the user's decimal separator from the locale, fills the information
    /// labels, shows the window and puts the focus into the path box.
    void FormLoad(const std::string& commandLine);

    /// The settings file read at start-up and written on closing; Varsel.ini in the current
    /// folder unless changed.
    void SetSettingsFile(const std::filesystem::path& file) { settingsFile_ = file; }

    /// True from the press of the start button until the run has returned.
    bool RunInProgress() const { return running_; }

    /// The working folder, ending with the folder separator; empty until one is known.
    const std::string& WorkFolder() const { return workFolder_; }
    void SetWorkFolder(const std::string& folder) { workFolder_ = folder; }

    /// The office application for workbook data files; null: workbooks cannot be run.
    void SetOffice(ISpreadsheetConnector* office) { office_ = office; }

    /// What the last run learned (empty before the first run).
    const FitSummary& LastSummary() const { return lastSummary_; }

    // The window interface.
    std::string PathText() override;
    void SetPathText(const std::string& text) override;
    void SetStatusCaption(const std::string& caption) override;
    void SetStartVisible(bool visible) override;
    void SetBrowseEnabled(bool enabled) override;
    void SetPathEnabled(bool enabled) override;
    void ProcessEvents() override;
    void Pause(int milliseconds) override;
    void TakeFocus() override;
    LabelGeometry StatusGeometry() override;
    void DrawFilledRectangle(float left, float top, float width, float height, int red, int green,
                             int blue) override;
    void ClearDrawing() override;
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons,
                              MessageIcon icon) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    struct FilledArea {
        QRect Area;  // in pixels
        QColor Colour;
    };

    void cmdBrowse_Click();
    void cmdStart_Click();
    void cmdStop_Click();
    /// True when the close must be refused.
    bool Form_QueryUnload();
    void Form_Unload();
    /// Puts the window back into its idle state after a run that ended by an exception.
    void EndFailedRun(const std::string& reason);

    RunFunction run_;
    std::filesystem::path settingsFile_;
    std::string workFolder_;
    std::int16_t ignoreLimits_ = 0;
    ISpreadsheetConnector* office_ = nullptr;
    StopSource stop_;
    FitSummary lastSummary_;
    bool running_ = false;
    std::vector<FilledArea> drawing_;

    QLabel* fn_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QPushButton* cmdStart_ = nullptr;
    QPushButton* cmdStop_ = nullptr;
    QLabel* Status_ = nullptr;
    QLabel* nfo_ = nullptr;
    QLabel* crt_ = nullptr;
};

}  // namespace varsel::qt
