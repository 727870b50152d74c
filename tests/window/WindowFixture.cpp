#include "window/WindowFixture.h"

#include <QImage>

#include "model/DataSource.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "services/Platform.h"
#include "shell/Settings.h"

namespace varsel::test {

QRect YellowArea(QWidget& window) {
    const QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 255, 0)) area |= QRect(x, y, 1, 1);
    return area;
}

void WindowTest::SetUp() {
    ResetModel();
    ResetDataSource();
}

void WindowTest::TearDown() {
    ThePlatform() = {};
    form_.reset();
    ResetModel();
    ResetDataSource();
    SetDecimalSeparator('.');
}

qt::Form1& WindowTest::Open(qt::Form1::RunFunction run, const std::string& commandLine) {
    form_ = std::make_unique<qt::Form1>(std::move(run));
    form_->SetSettingsFile(folder_.Path() / kSettingsFileName);
    ThePlatform().Window = form_.get();
    form_->FormLoad(commandLine);
    // Start-up reads the user's separator; the tests fix it.
    SetDecimalSeparator('.');
    return *form_;
}

}  // namespace varsel::test
