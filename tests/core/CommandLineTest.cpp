// The "/ie" switch: found in any letter case, anywhere in the command line.
#include <gtest/gtest.h>

#include "shell/CommandLine.h"

namespace varsel {
namespace {

TEST(CommandLineTest, FindsTheSwitchInAnyCase) {
    EXPECT_EQ(IgnoreLimitsPosition(""), 0);
    EXPECT_EQ(IgnoreLimitsPosition("/ie"), 1);
    EXPECT_EQ(IgnoreLimitsPosition("/IE"), 1);
    EXPECT_EQ(IgnoreLimitsPosition("data.txt /iE more"), 10);
    EXPECT_EQ(IgnoreLimitsPosition("x/ief"), 2) << "any text around it is ignored";
    EXPECT_EQ(IgnoreLimitsPosition("/i e"), 0);
    const char* argv[] = {"varsel", "a.txt", "/Ie"};
    EXPECT_EQ(JoinArguments(3, argv), "a.txt /Ie");
    EXPECT_EQ(IgnoreLimitsPosition(std::string(40000, 'x') + "/ie"), 32767);
}

}  // namespace
}  // namespace varsel
