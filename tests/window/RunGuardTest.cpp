// The window while a run is in progress: a close request is refused (and answered with
// Escape to the active window), a second start cannot nest in the first, and a run that ends
// by an exception leaves an idle window.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <tuple>

#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

// Records the Escape key presses delivered to any window.
class EscapeSpy : public QObject {
  public:
    EscapeSpy() { qApp->installEventFilter(this); }
    ~EscapeSpy() override { qApp->removeEventFilter(this); }
    int Presses = 0;
    QObject* Receiver = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            ++Presses;
            Receiver = watched;
        }
        return false;
    }
};

// What the reader does to the window once it has found its data.
void EnterRunningState(IWindow& window) {
    window.SetStartVisible(false);
    window.SetBrowseEnabled(false);
    window.SetPathEnabled(false);
    window.SetStatusCaption("Reading data file...");
    window.ProcessEvents();
}

// What the end of every run does.
void LeaveRunningState(IWindow& window) {
    window.SetStartVisible(true);
    window.SetBrowseEnabled(true);
    window.SetPathEnabled(true);
}

using RunGuardTest = WindowTest;

// A close and a queued second start, both delivered while the run processes events; a close
// is refused even before the run hides the controls (while the spreadsheet application starts,
// say).
TEST_F(RunGuardTest, CloseAndASecondStartAreRefusedDuringTheRun) {
    EscapeSpy spy;
    bool closedBeforeHiding = true;
    bool closedDuringRun = true;
    int runs = 0;
    int earlierPresses = 0;
    qt::Form1& form = Open([&](const RunOptions&) {
        ++runs;
        closedBeforeHiding = form_->close();
        EnterRunningState(*form_);
        EXPECT_TRUE(form_->RunInProgress());
        form_->activateWindow();
        earlierPresses = spy.Presses;
        closedDuringRun = form_->close();
        Control<QPushButton>("cmdStart")->click();
        form_->ProcessEvents();  // the posted Escape arrives without the close waiting for it
        LeaveRunningState(*form_);
        return RunResult();
    });
    Control<QPushButton>("cmdStart")->click();
    // One run, both closes refused, and a refused close saves nothing.
    EXPECT_EQ(
        std::tuple(runs, closedBeforeHiding, closedDuringRun, form.isVisible(), SettingsBytes()),
        std::tuple(1, false, false, true, ""));
    ASSERT_NE(QApplication::activeWindow(), nullptr);
    EXPECT_EQ(spy.Presses - earlierPresses, 1) << "Escape went to the active window";
    EXPECT_EQ(spy.Receiver, QApplication::activeWindow());

    EXPECT_FALSE(form_->RunInProgress());
    Control<QPushButton>("cmdStart")->click();
    EXPECT_EQ(runs, 2) << "after the run the button starts again";
    EXPECT_TRUE(form.close());
    EXPECT_EQ(std::tuple(form.isVisible(), SettingsBytes()), std::tuple(false, "WorkDir=\r\n"));
}

TEST_F(RunGuardTest, ARunEndingByAnExceptionLeavesAnIdleWindow) {
    Open([&](const RunOptions&) -> RunResult {
        EnterRunningState(*form_);
        form_->DrawFilledRectangle(240, 1020, 1000, 255, 255, 255, 0);
        throw std::runtime_error("engine session lost");
    });
    Control<QPushButton>("cmdStart")->click();
    EXPECT_EQ(std::tuple(form_->RunInProgress(), Control<QPushButton>("cmdStart")->isHidden(),
                         Control<QPushButton>("cmdBrowse")->isEnabled(),
                         Control<QLineEdit>("txtFile")->isEnabled()),
              std::tuple(false, false, true, true));
    ASSERT_EQ(dialogs_.Messages.size(), 1u);
    const RecordedMessage& shown = dialogs_.Messages[0];
    EXPECT_TRUE(shown.Text.contains("engine session lost") && shown.Icon == MessageIcon::Critical &&
                shown.Buttons == MessageButtons::Ok);
    EXPECT_TRUE(form_->close());
}

}  // namespace
}  // namespace varsel::test
