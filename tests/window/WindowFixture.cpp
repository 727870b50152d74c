#include "window/WindowFixture.h"

#include "model/DataSource.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "services/Platform.h"
#include "shell/Settings.h"

namespace varsel::test {

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

void WindowTest::WriteSettings(const std::string& bytes) {
    folder_.Write(kSettingsFileName, bytes);
}

std::string WindowTest::SettingsBytes() const {
    return folder_.Read(kSettingsFileName);
}

}  // namespace varsel::test
