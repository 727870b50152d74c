// The window as it opens: caption, size, controls with their names, places, texts and fonts,
// tab order, the Status label hidden beneath the start button, and the information labels.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/InfoLabels.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

struct Placed {
    const char* Name;
    int Left, Top, Width, Height;  // twips
};

// The form's layout in twips; 15 twips make one pixel.
constexpr Placed kLayout[] = {
    {"fn", 240, 360, 615, 255},         {"txtFile", 1080, 300, 2055, 285},
    {"cmdBrowse", 3360, 300, 975, 285}, {"cmdStart", 240, 960, 4095, 375},
    {"Status", 240, 1020, 4095, 270},   {"nfo", 240, 1560, 2415, 255},
    {"crt", 2040, 1560, 2295, 255},
};

using FormLayoutTest = WindowTest;

TEST_F(FormLayoutTest, CaptionSizeAndControlPlacesFollowTheTwipsLayout) {
    qt::Form1& form = Open();
    EXPECT_EQ(form.objectName(), "Form1");
    EXPECT_EQ(form.windowTitle(), "Varsel: Aqueous Species Optimization");
    EXPECT_EQ(form.size(), QSize(4575 / 15, 1830 / 15));
    for (const Placed& placed : kLayout) {
        QWidget* control = Control<QWidget>(placed.Name);
        ASSERT_NE(control, nullptr);
        QRect expected(placed.Left / 15, placed.Top / 15, placed.Width / 15, placed.Height / 15);
        if (control->objectName() == "fn" && control->width() > expected.width()) {
            // A stand-in font wider than Tahoma widens the label, never into the path box.
            EXPECT_LE(control->geometry().right(), 1080 / 15 - 2);
            expected.setWidth(control->width());
        }
        EXPECT_EQ(control->geometry(), expected) << placed.Name;
        EXPECT_TRUE(control->isVisible() && control->isEnabled()) << placed.Name;
    }
}

TEST_F(FormLayoutTest, TextsFontsAndInformationLabels) {
    Open();
    EXPECT_EQ(Control<QLabel>("fn")->text(), "Data file");
    EXPECT_EQ(Control<QPushButton>("cmdBrowse")->text(), "Browse");
    EXPECT_EQ(Control<QPushButton>("cmdStart")->text(), "Start Optimization");
    for (const char* name : {"fn", "nfo", "crt"})
        EXPECT_LE(Control<QLabel>(name)->sizeHint().width(), Control<QLabel>(name)->width())
            << name << " shows its whole text";
    for (const char* name : {"fn", "cmdBrowse", "cmdStart", "nfo", "crt"}) {
        EXPECT_EQ(Control<QWidget>(name)->font().family(), "Tahoma") << name;
        EXPECT_DOUBLE_EQ(Control<QWidget>(name)->font().pointSizeF(), 8.25) << name;
    }
    EXPECT_FALSE(Control<QLabel>("Status")->autoFillBackground()) << "transparent";
    EXPECT_EQ(Control<QLabel>("nfo")->text().toStdString(), NfoCaption());
    EXPECT_EQ(Control<QLabel>("crt")->text().toStdString(), CrtCaption());
    EXPECT_EQ(Control<QLabel>("crt")->palette().color(QPalette::WindowText),
              form_->palette().color(QPalette::Highlight));
}

TEST_F(FormLayoutTest, TabOrderRunsFromThePathBoxToBrowseToStart) {
    Open();
    std::vector<QString> order;
    QWidget* widget = Control<QWidget>("txtFile");
    do {
        if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != Control<QWidget>("txtFile"));
    const std::vector<QString> expected = {"txtFile", "cmdBrowse", "cmdStart"};
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
