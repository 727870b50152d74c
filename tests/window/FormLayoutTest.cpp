// The window as it opens: caption and size, the Status label beneath the start button (where
// the progress bar is drawn), the information labels, and the tab order.
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include "shell/InfoLabels.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using FormLayoutTest = WindowTest;

TEST_F(FormLayoutTest, CaptionSizeAndTheStatusLabelBeneathTheStartButton) {
    qt::Form1& form = Open();
    EXPECT_EQ(form.windowTitle(), "Varsel: Aqueous Species Optimization");
    EXPECT_EQ(form.size(), QSize(4575 / 15, 1830 / 15));
    // The progress bar is drawn from the twips geometry of Status: the label must sit there.
    const LabelGeometry g = form.StatusGeometry();
    const auto pixels = [](float twips) { return static_cast<int>(twips / 15); };
    EXPECT_EQ(Control<QLabel>("Status")->geometry(),
              QRect(pixels(g.Left), pixels(g.Top), pixels(g.Width), pixels(g.Height)));
    EXPECT_TRUE(Control<QPushButton>("cmdStart")
                    ->geometry()
                    .contains(Control<QLabel>("Status")->geometry()));
    for (const char* name : {"fn", "nfo", "crt"})
        EXPECT_LE(Control<QLabel>(name)->sizeHint().width(), Control<QLabel>(name)->width())
            << name << " shows its whole text";
    EXPECT_EQ(Control<QLabel>("nfo")->text().toStdString(), NfoCaption());
    EXPECT_EQ(Control<QLabel>("crt")->text().toStdString(), CrtCaption());
}

TEST_F(FormLayoutTest, TabOrderRunsFromThePathBoxToBrowseToStartAndStop) {
    Open();
    std::vector<QString> order;
    QWidget* widget = Control<QWidget>("txtFile");
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != Control<QWidget>("txtFile"));
    const std::vector<QString> expected = {"txtFile", "cmdBrowse", "cmdStart", "cmdStop"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(form_->focusWidget(), Control<QWidget>("txtFile")) << "focus starts in the path box";
}

TEST_F(FormLayoutTest, StatusTextShowsOnlyWhileTheStartButtonIsHidden) {
    qt::Form1& form = Open();
    const QImage idle = form.grab().toImage();
    form.SetStatusCaption("Reading data file...");
    EXPECT_EQ(form.grab().toImage(), idle) << "the start button covers Status";

    form.SetStartVisible(false);
    const QImage running = form.grab().toImage();
    form.SetStatusCaption("");
    EXPECT_NE(form.grab().toImage(), running) << "the caption shows while the button is hidden";

    form.SetStatusCaption("Left over from a failed run");
    form.SetStartVisible(true);
    EXPECT_EQ(form.grab().toImage(), idle) << "and hides again when the button returns";
}

}  // namespace
}  // namespace varsel::test
