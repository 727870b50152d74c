// The "/ie" switch: found in any letter case, anywhere in the command line.
#include <gtest/gtest.h>

#include "shell/CommandLine.h"

namespace varsel {
namespace {

TEST(CommandLineTest, FindsTheSwitchInAnyCase) {
    // Any text around it is ignored.
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"/ie", 1}, {"/IE", 1}, {"data.txt /iE more", 10}, {"x/ief", 2}, {"/i e", 0}};
    // clang-format on
    for (const auto& [line, position] : cases)
        EXPECT_EQ(IgnoreLimitsPosition(line), position) << line;
    const char* argv[] = {"varsel", "a.txt", "/Ie"};
    EXPECT_EQ(JoinArguments(3, argv), "a.txt /Ie");
    EXPECT_EQ(IgnoreLimitsPosition(std::string(40000, 'x') + "/ie"), 32767);
}

}  // namespace
}  // namespace varsel
