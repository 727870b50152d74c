// Common ground of the window tests: a fresh problem model, scripted dialogs, a settings file
// in a temporary folder, and the window opened the way the program opens it.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <ostream>
#include <string>

#include "shell/Settings.h"
#include "shell/qt/Form1.h"
#include "support/TempFolder.h"
#include "window/ScriptedDialogs.h"

/// Lets test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace varsel::test {

/// The smallest rectangle holding every pure yellow pixel of a window as it paints now (the
/// colour of the progress bar), empty when there is none.
QRect YellowArea(QWidget& window);

class WindowTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    /// Creates the window with `run` behind its start button (null: the program's own run
    /// with Varsel's engine) and loads it with `commandLine`.
    qt::Form1& Open(qt::Form1::RunFunction run = {}, const std::string& commandLine = "");

    /// A control of the open window by its object name; fails the test when it is missing.
    template <class Widget>
    Widget* Control(const char* name) {
        Widget* widget = form_->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    /// Writes the settings file that Open will read.
    void WriteSettings(const std::string& bytes) { folder_.Write(kSettingsFileName, bytes); }
    /// The settings file as bytes, empty when it does not exist.
    std::string SettingsBytes() const { return folder_.Read(kSettingsFileName); }

    TempFolder folder_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<qt::Form1> form_;
};

}  // namespace varsel::test
