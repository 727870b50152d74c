// The progress bar of the confidence intervals: a width that is no size draws nothing (where
// and how wide the bar is drawn is checked by a whole run through the window).
#include <limits>

#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using ProgressBarTest = WindowTest;

TEST_F(ProgressBarTest, NonsenseSizesDrawNothing) {
    qt::Form1& form = Open();
    form.SetStartVisible(false);
    form.DrawFilledRectangle(240, 1020, 0, 255, 255, 255, 0);
    form.DrawFilledRectangle(240, 1020, -100, 255, 255, 255, 0);
    form.DrawFilledRectangle(240, 1020, std::numeric_limits<float>::quiet_NaN(), 255, 255, 255, 0);
    form.DrawFilledRectangle(240, 1020, std::numeric_limits<float>::infinity(), 255, 255, 255, 0);
    EXPECT_TRUE(YellowArea(form).isEmpty());
}

}  // namespace
}  // namespace varsel::test
