// The progress bar of the confidence intervals: drawn on the window beneath the Status label,
// from its left edge, its height less one pixel, growing by the label's width less one pixel
// over T passes, and erased by clearing the drawing.
#include <QImage>
#include <QLabel>

#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

// Draws pass c of T the way the fitting stage does.
void DrawPass(IWindow& window, int c, int total) {
    const LabelGeometry g = window.StatusGeometry();
    const float width = g.Width - g.PixelWidth;
    const float height = g.Height - g.PixelHeight;
    window.DrawFilledRectangle(g.Left, g.Top, width * static_cast<float>(c) / total, height, 255,
                               255, 0);
    window.ProcessEvents();
}

using ProgressBarTest = WindowTest;

TEST_F(ProgressBarTest, BarStartsAtTheLabelsLeftEdgeAndGrowsByOneEighthPerPass) {
    qt::Form1& form = Open();
    form.SetStartVisible(false);  // as during a run
    const QRect status = Control<QLabel>("Status")->geometry();
    const int full = status.width() - 1;
    for (int c : {1, 2, 5, 8}) {
        DrawPass(form, c, 8);
        const QRect bar = YellowArea(form);
        EXPECT_EQ(bar.left(), status.left()) << c;
        EXPECT_EQ(bar.top(), status.top()) << c;
        EXPECT_EQ(bar.height(), status.height() - 1) << c;
        EXPECT_NEAR(bar.width(), full * c / 8.0, 0.5) << c;
    }
    EXPECT_EQ(YellowArea(form).width(), full) << "the full bar is one pixel short of the label";
    form.SetStatusCaption("Calculating confidence intervals...");
    DrawPass(form, 8, 8);
    EXPECT_EQ(YellowArea(form).width(), full) << "the text does not hide the bar's ends";
    DrawPass(form, 9, 8);  // the Hessian needed larger steps: more passes than planned
    EXPECT_GT(YellowArea(form).width(), status.width());
}

TEST_F(ProgressBarTest, ClearingErasesTheBar) {
    qt::Form1& form = Open();
    form.SetStartVisible(false);
    for (int c = 1; c <= 4; ++c)
        DrawPass(form, c, 4);
    ASSERT_FALSE(YellowArea(form).isEmpty());
    form.ClearDrawing();
    form.ProcessEvents();
    EXPECT_TRUE(YellowArea(form).isEmpty());
    form.ClearDrawing();  // clearing an empty window is harmless
    EXPECT_TRUE(YellowArea(form).isEmpty());
}

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
