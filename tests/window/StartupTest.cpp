// Start-up: the command-line switch and the working folder taken at start.
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

}  // namespace
}  // namespace varsel::test
