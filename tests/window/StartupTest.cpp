// Start-up and closing: the command-line switch, the working folder taken from the settings
// file, and the settings file written when the window closes.
#include <QLineEdit>

#include "model/ProblemModel.h"
#include "window/WindowFixture.h"

namespace varsel::test {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, TheSwitchCountsInAnyCaseAnywhere) {
    Open({}, "");
    EXPECT_EQ(Model().IgnoreLimits, 0);
    Open({}, "/IE");
    EXPECT_EQ(Model().IgnoreLimits, 1);
    Open({}, "run.txt /iE -x");
    EXPECT_EQ(Model().IgnoreLimits, 9);
}

TEST_F(StartupTest, WorkingFolderComesFromTheSettingsFile) {
    WriteSettings("WorkDir=   /home/ana/data/   \r\n");
    Open();
    EXPECT_EQ(Model().WorkFolder, "/home/ana/data/");

    WriteSettings("workdir=/home/ana/data/\r\n");
    Open();
    EXPECT_EQ(Model().WorkFolder, "") << "the key is case-sensitive";
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
