#include "window/WindowFixture.h"

#include <QImage>

#include "shell/Settings.h"
#include "varsel/Numbers.h"

namespace varsel::test {

QRect YellowArea(QWidget& window) {
    const QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 255, 0)) area |= QRect(x, y, 1, 1);
    return area;
}

void WindowTest::SetUp() {}

void WindowTest::TearDown() {
    form_.reset();
    SetDecimalSeparator('.');
}

qt::Form1& WindowTest::Open(qt::Form1::RunFunction run, const std::string& commandLine) {
    form_ = std::make_unique<qt::Form1>(std::move(run));
    form_->SetSettingsFile(folder_.Path() / kSettingsFileName);
    form_->FormLoad(commandLine);
    // Start-up reads the user's separator; the tests fix it.
    SetDecimalSeparator('.');
    return *form_;
}

}  // namespace varsel::test
