// Whole runs through the window's start button with the scripted sodium chloride engine:
// what the window looks like while the engine calculates (controls hidden and disabled, close
// refused, the progress bar growing from the Status label), and what the user sees at the end
// of every kind of run, with the window idle again each time.
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "model/ProblemModel.h"
#include "pipeline/PipelineFixture.h"
#include "services/Platform.h"
#include "shell/RunSequence.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using Lines = std::vector<std::string>;

// The worked example with measurements that a free Na+ fits.
Lines Fittable() {
    Lines lines = WorkedExample();
    lines[17] = "s2\t\t0.5\t1\t\t-1.25";
    return lines;
}

// What the window showed while the engine was calculating.
struct SeenDuringRun {
    int Calculations = 0;
    bool ControlsLocked = true;  // start hidden, browse and path box disabled, every time
    bool CloseRefused = false;
    QRect WidestBar;
    int BarsSeen = 0;
};

class RunTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        script_ = NaClScript();
        ThePlatform().Engine = &engine_;
    }

    /// Opens the window with data.txt (when lines are given) in the work folder and its name
    /// in the path box, as Browse would have left them.
    void OpenOn(const Lines& lines, const std::string& name = "data.txt") {
        if (!lines.empty()) folder_.Write(name, JoinLines(lines));
        Open(RunSequence);
        Model().WorkFolder = folder_.AsWorkFolder();
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
            const QRect bar = YellowArea(*form_);
            if (!bar.isEmpty()) {
                ++seen_.BarsSeen;
                if (bar.width() > seen_.WidestBar.width()) seen_.WidestBar = bar;
            }
        };
    }

    void Start() { Control<QPushButton>("cmdStart")->click(); }

    std::vector<QString> MessageTexts() const {
        std::vector<QString> texts;
        for (const RecordedMessage& message : dialogs_.Messages)
            texts.push_back(message.Text);
        return texts;
    }

    void ExpectIdle() {
        EXPECT_FALSE(form_->RunInProgress());
        EXPECT_FALSE(Control<QPushButton>("cmdStart")->isHidden());
        EXPECT_TRUE(Control<QPushButton>("cmdBrowse")->isEnabled());
        EXPECT_TRUE(Control<QLineEdit>("txtFile")->isEnabled());
        EXPECT_TRUE(YellowArea(*form_).isEmpty());
        EXPECT_FALSE(Model().Solver) << "engine objects are released";
        EXPECT_FALSE(Model().Thermo);
    }

    EngineScript script_;
    ScriptedEngine engine_{script_};
    SeenDuringRun seen_;
};

TEST_F(RunTest, FullRunLocksTheWindowShowsTheBarAndEndsSaved) {
    OpenOn(Fittable());
    WatchDuringRun();
    const std::string before = folder_.Read("data.txt");
    QElapsedTimer clock;
    clock.start();
    Start();
    const qint64 elapsed = clock.elapsed();

    ASSERT_EQ(MessageTexts(), std::vector<QString>{"Results are saved  "});
    EXPECT_EQ(dialogs_.Messages[0].Icon, MessageIcon::Information);
    EXPECT_EQ(dialogs_.Messages[0].Buttons, MessageButtons::Ok);
    EXPECT_EQ(dialogs_.Messages[0].Owner, form_.get());
    EXPECT_EQ(Control<QLabel>("Status")->text(), "");
    EXPECT_NE(folder_.Read("data.txt"), before) << "results written into the file";

    ASSERT_GT(seen_.Calculations, 0);
    EXPECT_TRUE(seen_.ControlsLocked);
    EXPECT_TRUE(seen_.CloseRefused);
    const QRect status = Control<QLabel>("Status")->geometry();
    ASSERT_GT(seen_.BarsSeen, 0) << "the bar grows during the confidence intervals";
    EXPECT_EQ(seen_.WidestBar.left(), status.left());
    EXPECT_EQ(seen_.WidestBar.top(), status.top());
    EXPECT_EQ(seen_.WidestBar.height(), status.height() - 1);
    EXPECT_GE(elapsed, 500) << "the full bar stays up for half a second";
    ExpectIdle();
    EXPECT_TRUE(form_->close()) << "closing works again after the run";
}

TEST_F(RunTest, ReaderFailureShowsSourceDataWithTheStopIconAndOnlyOk) {
    OpenOn({}, "absent.txt");
    Start();
    ASSERT_EQ(MessageTexts(), std::vector<QString>{"Source data: could not open the file  "});
    EXPECT_EQ(dialogs_.Messages[0].Icon, MessageIcon::Critical);
    EXPECT_EQ(dialogs_.Messages[0].Buttons, MessageButtons::Ok);
    EXPECT_EQ(script_.Calculations, 0) << "the fit does not run";
    ExpectIdle();

    dialogs_.Messages.clear();
    Lines lines = Fittable();
    lines[12] = "X axis:\tm(Si)";
    OpenOn(lines);
    Start();
    EXPECT_EQ(MessageTexts(),
              std::vector<QString>{"Source data: incorrect axis definition (row=13, col=2)  "});
    ExpectIdle();
}

TEST_F(RunTest, FittingFailureAsksAndSavesOnlyOnYes) {
    const QString question =
        "Optimization: Equilibrium not found  \r\nDo you want to save the current state?  ";
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "Yes" : "No");
        dialogs_.Messages.clear();
        dialogs_.Answers = {answer};
        script_ = NaClScript();
        script_.FailFromCalculation = 1;
        OpenOn(Fittable());
        const std::string before = folder_.Read("data.txt");
        Start();
        ASSERT_FALSE(dialogs_.Messages.empty());
        EXPECT_EQ(dialogs_.Messages[0].Text, question);
        EXPECT_EQ(dialogs_.Messages[0].Buttons, MessageButtons::YesNo);
        EXPECT_EQ(dialogs_.Messages[0].Icon, MessageIcon::Critical);
        if (answer == MessageAnswer::No) {
            EXPECT_EQ(dialogs_.Messages.size(), 1u);
            EXPECT_EQ(folder_.Read("data.txt"), before);
            EXPECT_NE(Control<QLabel>("Status")->text(), "")
                << "the last progress text stays, hidden beneath the start button";
        } else {
            EXPECT_EQ(MessageTexts().back(), "Results are saved  ");
            EXPECT_NE(folder_.Read("data.txt"), before);
        }
        ExpectIdle();
    }
}

TEST_F(RunTest, QuietStopsLeaveAnIdleWindow) {
    OpenOn({}, "");  // empty path box, no spreadsheet application: nothing to say
    Start();
    EXPECT_TRUE(dialogs_.Messages.empty());
    EXPECT_EQ(Control<QLineEdit>("txtFile")->text(), "");
    ExpectIdle();

    OpenOn(Fittable(), "data.csv");
    Start();
    EXPECT_EQ(MessageTexts(), std::vector<QString>{"Incorrect file type  "});
    EXPECT_EQ(dialogs_.Messages[0].Icon, MessageIcon::None);
    ExpectIdle();

    dialogs_.Messages.clear();
    script_.DatabaseMessage = "Cannot open database thermo";
    OpenOn(Fittable());
    Start();
    EXPECT_EQ(MessageTexts(), std::vector<QString>{"Cannot open database thermo"});
    EXPECT_EQ(Model().StatusCode, -1);
    ExpectIdle();
}

}  // namespace
}  // namespace varsel::test
