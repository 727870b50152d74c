// Start-up and closing: the command-line switch and the working folder taken at start, and
// the settings file written when the window closes.
#include <QLineEdit>

#include "model/ProblemModel.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, SwitchAndWorkingFolderAreTakenAtStart) {
    Open({}, "");
    EXPECT_EQ(Model().IgnoreLimits, 0);
    WriteSettings("WorkDir=   /home/ana/data/   \r\n");
    Open({}, "run.txt /iE -x");
    EXPECT_EQ(Model().IgnoreLimits, 9);
    EXPECT_EQ(Model().WorkFolder, "/home/ana/data/");
}

TEST_F(StartupTest, WithoutSettingsFileClosingWritesAnEmptyFolder) {
    qt::Form1& form = Open();
    EXPECT_EQ(Model().WorkFolder, "");
    EXPECT_EQ(SettingsBytes(), "") << "nothing written before closing";
    EXPECT_TRUE(form.close());
    EXPECT_EQ(SettingsBytes(), "WorkDir=\r\n");
}

TEST_F(StartupTest, ClosingWritesTheFolderInUse) {
    WriteSettings("WorkDir=/old/\r\nkept nowhere\r\n");
    qt::Form1& form = Open();
    Model().WorkFolder = "/home/ana/new data/";
    EXPECT_TRUE(form.close());
    EXPECT_EQ(SettingsBytes(), "WorkDir=/home/ana/new data/\r\n");
}

}  // namespace
}  // namespace varsel::test
