// The window on its own: the command-line switch and the working folder taken at start, and a
// progress bar whose width is no size, which draws nothing (where and how wide the bar is drawn
// is checked by a whole run through the window).
#include <limits>

#include "model/ProblemModel.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using FormTest = WindowTest;

TEST_F(FormTest, SwitchAndWorkingFolderAreTakenAtStart) {
    Open({}, "");
    EXPECT_EQ(Model().IgnoreLimits, 0);
    WriteSettings("WorkDir=   /home/ana/data/   \r\n");
    Open({}, "run.txt /iE -x");
    EXPECT_EQ(Model().IgnoreLimits, 9);
    EXPECT_EQ(Model().WorkFolder, "/home/ana/data/");
}

TEST_F(FormTest, NonsenseBarSizesDrawNothing) {
    qt::Form1& form = Open();
    form.SetStartVisible(false);
    for (float width : {0.0f, -100.0f, std::numeric_limits<float>::quiet_NaN(),
                        std::numeric_limits<float>::infinity()})
        form.DrawFilledRectangle(240, 1020, width, 255, 255, 255, 0);
    EXPECT_TRUE(YellowArea(form).isEmpty());
}

}  // namespace
}  // namespace varsel::test
