// Whole runs through the window's start button with the scripted sodium chloride engine:
// what the window looks like while the engine calculates (controls hidden and disabled, close
// refused, the progress bar growing from the Status label, Stop taking effect), and what the
// user sees at the end, with the window idle again each time and the results view beside it
// after a fit.
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>
#include <tuple>

#include "pipeline/PipelineFixture.h"
#include "shell/qt/ResultsView.h"
#include "varsel/Run.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using Lines = std::vector<std::string>;

// What the window showed while the engine was calculating.
struct SeenDuringRun {
    int Calculations = 0;
    bool ControlsLocked = true;  // start hidden, browse and path box disabled, every time
    bool CloseRefused = false;
    QRect WidestBar;
    QRect Status;  // the Status label during the run, narrowed beside Stop
    int BarsSeen = 0;
};

class RunTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        script_ = NaClScript();
    }

    /// Opens the window with data.txt (when lines are given) in the work folder and its name
    /// in the path box, as Browse would have left them.
    void OpenOn(const Lines& lines, const std::string& name = "data.txt") {
        if (!lines.empty()) folder_.Write(name, JoinLines(lines));
        // The program's run, with the scripted engine in place of Varsel's.
        Open([this](const RunOptions& options) {
            RunOptions scripted = options;
            scripted.Engine = &engine_;
            return varsel::Run(*form_, scripted);
        });
        form_->SetWorkFolder(folder_.AsWorkFolder());
        Control<QLineEdit>("txtFile")->setText(QString::fromStdString(name));
    }

    /// Watches the window from inside every engine calculation.
    void WatchDuringRun() {
        script_.Law = [this](Equilibrium& e) {
            ComplexationLaw(e);
            ++seen_.Calculations;
            seen_.ControlsLocked = seen_.ControlsLocked &&
                                   Control<QPushButton>("cmdStart")->isHidden() &&
                                   !Control<QPushButton>("cmdBrowse")->isEnabled() &&
                                   !Control<QLineEdit>("txtFile")->isEnabled();
            if (seen_.Calculations == 1) seen_.CloseRefused = !form_->close();
            seen_.Status = Control<QLabel>("Status")->geometry();
            const QRect bar = YellowArea(*form_);
            if (!bar.isEmpty()) {
                ++seen_.BarsSeen;
                if (bar.width() > seen_.WidestBar.width()) seen_.WidestBar = bar;
            }
        };
    }

    void Start() { Control<QPushButton>("cmdStart")->click(); }

    void ExpectIdle() {
        // Not running, start shown, stop hidden, browse and path enabled, no bar.
        EXPECT_EQ(
            std::tuple(form_->RunInProgress(), Control<QPushButton>("cmdStart")->isHidden(),
                       Control<QPushButton>("cmdStop")->isHidden(),
                       Control<QPushButton>("cmdBrowse")->isEnabled(),
                       Control<QLineEdit>("txtFile")->isEnabled(), YellowArea(*form_).isEmpty()),
            std::tuple(false, false, true, true, true, true));
    }

    EngineScript script_;
    ScriptedEngine engine_{script_};
    SeenDuringRun seen_;
};

TEST_F(RunTest, FullRunLocksTheWindowShowsTheBarAndEndsSaved) {
    OpenOn(FittableExample());
    WatchDuringRun();
    const std::string before = folder_.Read("data.txt");
    const QRect geometry = form_->geometry();
    QElapsedTimer clock;
    clock.start();
    Start();
    const qint64 elapsed = clock.elapsed();

    ASSERT_EQ(dialogs_.Messages.size(), 1u);
    const RecordedMessage& saved = dialogs_.Messages[0];
    EXPECT_EQ(std::tuple(saved.Text, saved.Icon, saved.Buttons, saved.Owner),
              std::tuple("Results are saved  ", MessageIcon::Information, MessageButtons::Ok,
                         form_.get()));
    EXPECT_EQ(Control<QLabel>("Status")->text(), "");
    EXPECT_NE(folder_.Read("data.txt"), before) << "results written into the file";

    ASSERT_GT(seen_.Calculations, 0);
    EXPECT_TRUE(seen_.ControlsLocked);
    EXPECT_TRUE(seen_.CloseRefused);
    const QRect status = seen_.Status;
    ASSERT_GT(seen_.BarsSeen, 0) << "the bar grows during the confidence intervals";
    const QRect& bar = seen_.WidestBar;
    EXPECT_EQ(std::tuple(bar.left(), bar.top(), bar.height()),
              std::tuple(status.left(), status.top(), status.height() - 1));
    EXPECT_NEAR(seen_.WidestBar.width(), (status.width() - 1) / 2.0, 1.0)
        << "one free species: two passes, so half the bar after the first";
    EXPECT_GE(elapsed, 500) << "the full bar stays up for half a second";
    ExpectIdle();
    // The results view opens wholly on the screen, beside the window where there is room; the
    // window keeps its place and size.
    const auto* view = form_->findChild<qt::ResultsView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(form_->screen()->availableGeometry().contains(view->frameGeometry()))
        << view->frameGeometry().x() << ", " << view->frameGeometry().width();
    EXPECT_EQ(form_->geometry(), geometry);
    // Save plot starts in the data file's folder with a name, adds the extension of the filter
    // chosen, and writes the PNG for print at 300 dpi.
    const QString folder = QString::fromStdString(folder_.Path().string());
    dialogs_.ChosenSaves.push_back({folder + "/figure", "PNG image, 300 dpi (*.png)"});
    view->findChild<QPushButton*>("cmdSavePlot")->click();
    ASSERT_EQ(dialogs_.FileDialogs.size(), 1u);
    EXPECT_EQ(std::tuple(dialogs_.FileDialogs[0].StartFolder, dialogs_.FileDialogs[0].FileName),
              std::tuple(folder, QString("data-plots.png")));
    const QImage png(folder + "/figure.png");
    EXPECT_EQ(std::tuple(png.width(), png.dotsPerMeterX()), std::tuple(2250, 11811));
    EXPECT_TRUE(form_->close()) << "closing works again after the run";
}

// Alt+S, sent while the engine calculates an iteration (a moment drawn at random), reaches the
// window through the event rounds the run lets it take, and the run ends after the sample in
// progress as a failed fit ends: the file stays as it was, or is written when the user says
// Yes, with one point: run again with every species now fixed, it gives its own cells back to
// the seven digits it keeps.
TEST_F(RunTest, StopDuringAnIterationEndsTheRunAsAFailedFit) {
    std::random_device seed;
    std::mt19937 draw(seed());
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        // The initial pass takes 6 calculations, and so does every iteration.
        const long pressAt = std::uniform_int_distribution<long>(7, 30)(draw);
        SCOPED_TRACE(testing::Message() << (answer == MessageAnswer::Yes ? "Yes" : "No")
                                        << ", Stop at calculation " << pressAt);
        dialogs_.Messages.clear();
        dialogs_.Answers = {answer};
        script_ = NaClScript();
        OpenOn(FittableExample());
        form_->activateWindow();
        const std::string before = folder_.Read("data.txt");
        long calculations = 0;
        long stoppedAt = 0;
        QString captionAtPress;
        QObject::connect(Control<QPushButton>("cmdStop"), &QPushButton::clicked,
                         [&] { stoppedAt = calculations; });
        script_.Law = [&](Equilibrium& e) {
            ComplexationLaw(e);
            // A stop between passes recalculates the last complete point after it.
            if (Control<QLabel>("Status")->text().startsWith("Recalculating")) return;
            // A slow engine: the window gets its events only between calculations.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (++calculations != pressAt) return;
            QTimer::singleShot(0, [&] {
                captionAtPress = Control<QLabel>("Status")->text();
                EXPECT_TRUE(Control<QPushButton>("cmdStop")->isVisible());
                // The shortcut clicks the button after showing it pressed for a moment.
                QTest::keyClick(form_.get(), Qt::Key_S, Qt::AltModifier);
            });
        };
        Start();

        ASSERT_GT(stoppedAt, 0) << "no event reached the window during the iterations";
        EXPECT_TRUE(captionAtPress.startsWith("Iteration:") ||
                    captionAtPress.startsWith("Initial data set"))
            << captionAtPress.toStdString();
        EXPECT_LE(calculations - stoppedAt, 2) << "only the sample in progress is finished";
        ASSERT_FALSE(dialogs_.Messages.empty());
        EXPECT_EQ(
            dialogs_.Messages[0].Text,
            "Optimization: stopped by the user  \r\nDo you want to save the current state?  ");
        const std::string after = folder_.Read("data.txt");
        if (answer == MessageAnswer::No) {
            EXPECT_EQ(after, before);
            EXPECT_NE(Control<QLabel>("Status")->text(), "")
                << "the last progress text stays, hidden beneath the start button";
        } else {
            EXPECT_EQ(dialogs_.Messages.back().Text, "Results are saved  ");
            EXPECT_NE(after, before);
            script_.Law = ComplexationLaw;
            Start();
            ExpectSameCells(folder_.Read("data.txt"), after, 2e-5);
        }
        ExpectIdle();
    }
}

// The path box takes a path relative to the working folder, a full path and one from the home
// folder; each names the one file that is read and rewritten, and a full or home path makes
// the file's folder the working folder, which the settings file keeps.
TEST_F(RunTest, PathBoxTakesRelativeFullAndHomePaths) {
    std::filesystem::create_directories(folder_.Path() / "sub");
    const std::string file = (folder_.Path() / "sub" / "data.txt").string();
    const char* home = std::getenv("HOME");
    const std::string oldHome = home != nullptr ? home : "";
    setenv("HOME", folder_.Path().c_str(), 1);
    for (const std::string& typed :
         {std::string("sub/data.txt"), file, std::string("~/sub/data.txt")}) {
        SCOPED_TRACE(typed);
        folder_.Write("sub/data.txt", JoinLines(FittableExample()));
        const std::string before = folder_.Read("sub/data.txt");
        OpenOn({}, "");
        dialogs_.Messages.clear();
        QLineEdit* path = Control<QLineEdit>("txtFile");
        path->clear();
        QTest::keyClicks(path, QString::fromStdString(typed));
        Start();
        ASSERT_FALSE(dialogs_.Messages.empty());
        EXPECT_EQ(dialogs_.Messages.back().Text, "Results are saved  ");
        EXPECT_NE(folder_.Read("sub/data.txt"), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path() / "sub"),
                                std::filesystem::directory_iterator()),
                  1)
            << "no temporary file is left";
        const std::string work = folder_.AsWorkFolder() + (typed[0] == 's' ? "" : "sub/");
        EXPECT_TRUE(form_->close());
        EXPECT_EQ(SettingsBytes(), "WorkDir=" + work + "\r\n");
    }
    setenv("HOME", oldHome.c_str(), 1);
}

}  // namespace
}  // namespace varsel::test
