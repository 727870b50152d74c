// The run sequence: every way a run can end and what the user sees on each, with the
// engine and spreadsheet objects released and the window's controls back every time.
#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <tuple>

#include "PipelineFixture.h"
#include "shell/RunSequence.h"

namespace varsel::test {
namespace {

using Lines = std::vector<std::string>;
constexpr auto kOk = MessageButtons::Ok;

// Na+ and NaCl,aq both free: they only shift together, so no direction can be found.
Lines DegenerateExample() {
    Lines lines = WorkedExample();
    lines[8] = "Species:\t3\tInitial\tResult\t \xB1";
    lines.insert(lines.begin() + 11, "\tNaCl2-\t0\t0\t");
    lines[9] = "\tNa+\t\t\t";
    lines[10] = "\tNaCl,aq\t\t\t";
    return lines;
}

// A window that fails to show the final message box, as a broken display would.
class FailingWindow : public RecordingWindow {
  public:
    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons,
                              MessageIcon icon) override {
        RecordingWindow::ShowMessage(text, buttons, icon);
        if (text == "Results are saved  ") throw std::runtime_error("display lost");
        return MessageAnswer::Ok;
    }
};

class RunSequenceTest : public PipelineTest {
  protected:
    void ExpectEnded(const RecordingWindow& w) {
        EXPECT_TRUE(w.StartVisible && w.BrowseEnabled && w.PathEnabled);
        EXPECT_FALSE(m.Solver || m.Thermo || m.SystemReader || m.DataSheet || m.ExcelApp);
    }
};

TEST_F(RunSequenceTest, FitFailureAsksWhetherToSave) {
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "Yes" : "No");
        window = RecordingWindow();
        window.Path = "data.txt";
        window.Answers.push_back(answer);
        WriteFile(DegenerateExample());
        const std::string before = folder.Read("data.txt");
        RunSequence(m, context);
        ASSERT_GE(window.Messages.size(), 1u);
        EXPECT_EQ(window.Messages[0],
                  (ShownMessage{"Optimization: could not determine the direction  \r\nDo you "
                                "want to save the current state?  ",
                                MessageButtons::YesNo, MessageIcon::Critical}));
        if (answer == MessageAnswer::No) {
            EXPECT_EQ(window.Messages.size(), 1u);
            EXPECT_EQ(folder.Read("data.txt"), before);
            EXPECT_EQ(m.StatusCode, 1);
            EXPECT_NE(window.LastCaption(), "") << "the last progress text stays";
        } else {
            EXPECT_EQ(window.Messages.back().Text, "Results are saved  ");
            EXPECT_NE(folder.Read("data.txt"), before);
            EXPECT_EQ(m.StatusCode, 0);
        }
        ExpectEnded(window);
    }
}

// Whenever a stop comes, what Yes saves is one point: the saved file, run again with every
// species fixed by the Result it now holds, comes back with the same cells, to the seven
// digits the file keeps of each value (its Y (calc), errors and mean errors are those of its
// values; a mix of points would differ in the leading digits). Before the first complete pass
// nothing is saved.
TEST_F(RunSequenceTest, StopSavesOnePointOrNothing) {
    for (int stopAt : {2, 8, 11, 13, 17, 23, 40}) {  // engine calculations before the stop
        SCOPED_TRACE(stopAt);
        WriteFile(FittableExample());
        const std::string before = folder.Read("data.txt");
        int calls = 0;
        for (bool again : {false, true}) {
            m = ProblemModel();
            m.WorkFolder = folder.AsWorkFolder();
            window = RecordingWindow();
            window.Path = "data.txt";
            window.Answers.push_back(MessageAnswer::Yes);
            stop.Clear();
            calls = 0;
            script.Law = [&](Equilibrium& e) {
                if (!again && ++calls == stopAt) stop.Request();
                ComplexationLaw(e);
            };
            const std::string first = folder.Read("data.txt");
            RunSequence(m, context);
            ASSERT_FALSE(window.Messages.empty());
            if (!again && stopAt <= 6) {
                EXPECT_EQ(window.Messages, (Shown{{"Optimization: stopped by the user  \r\nNo "
                                                   "pass over the samples was completed, so "
                                                   "there is nothing to save.  ",
                                                   kOk, MessageIcon::Critical}}));
                EXPECT_EQ(folder.Read("data.txt"), before);
                break;
            }
            EXPECT_EQ(m.StatusCode, 0) << window.Messages[0].Text;
            if (again) {
                ExpectSameCells(folder.Read("data.txt"), first, 2e-5);
            }
        }
    }
}

TEST_F(RunSequenceTest, WorkbookFitFailureIsOnlyReported) {
    OpenWorkbook(DegenerateExample());
    RunSequence(m, context);
    EXPECT_EQ(
        window.Messages,
        (Shown{{"Optimization: could not determine the direction  ", kOk, MessageIcon::None}}));
    EXPECT_EQ(connector.running->statusBar.back(), "") << "the status bar is given back";
    ExpectEnded(window);
    EXPECT_EQ(connector.running->books.size(), 1u) << "the workbook stays open";
}

// A failure that no stage reports through the status code still ends the run in order: the
// user is told, the controls come back and every engine object is released.
TEST_F(RunSequenceTest, UnexpectedFailureEndsTheRunInOrder) {
    FailingWindow failing;
    failing.Path = "data.txt";
    context.Window = &failing;
    WriteFile(FittableExample());
    EXPECT_NO_THROW(RunSequence(m, context));
    ASSERT_EQ(failing.Messages.size(), 2u);
    EXPECT_EQ(failing.Messages[1], (ShownMessage{"The run ended unexpectedly: display lost  ", kOk,
                                                 MessageIcon::Critical}));
    EXPECT_EQ(m.StatusCode, 1);
    ExpectEnded(failing);
    context.Window = &window;
}

}  // namespace
}  // namespace varsel::test
