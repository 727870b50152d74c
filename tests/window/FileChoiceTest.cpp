// Where the open-file dialog starts, what it filters, and how a chosen path splits into the
// working folder and the file name.
#include <gtest/gtest.h>
#include <tuple>

#include "shell/FileChoice.h"

namespace varsel {
namespace {

TEST(FileChoiceTest, StartFolderDropsTheTrailingSeparatorExceptAtARoot) {
    // Empty opens the home folder; a folder without separator is not cut.
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"", "/home/ana"}, {"/home/ana/data/", "/home/ana/data"}, {"/", "/"},
        {"/srv/exp", "/srv/exp"}, {"d:/", "d:/"}, {"C:/data/", "C:/data"}};
    // clang-format on
    for (const auto& [folder, start] : cases)
        EXPECT_EQ(DialogStartFolder(folder, "/home/ana"), start) << folder;
}

TEST(FileChoiceTest, FiltersShowTheCallersPairThenAllFiles) {
    const std::vector<std::string> expected = {"Data files (*.txt *.xls)", "All files (*)"};
    EXPECT_EQ(FileFilters("Data files", "*.txt;*.xls"), expected);
    EXPECT_EQ(FileFilters("Text", "*.txt").front(), "Text (*.txt)");
}

TEST(FileChoiceTest, SplitsAfterTheLastSeparatorOrNotAtAll) {
    std::string folder = "/keep/";
    std::string name = "keep.txt";
    ASSERT_TRUE(SplitChosenPath("/data/with blank.v2.txt", folder, name));
    EXPECT_EQ(std::tuple(folder, name), std::tuple("/data/", "with blank.v2.txt"));
    ASSERT_TRUE(SplitChosenPath("/a.xls", folder, name));
    EXPECT_EQ(folder, "/") << "a root file keeps its separator";
    folder = "/keep/";
    name = "keep.txt";
    for (const char* path : {"", "plain.txt", "/home/ana/"})
        EXPECT_FALSE(SplitChosenPath(path, folder, name)) << path;
    EXPECT_EQ(std::tuple(folder, name), std::tuple("/keep/", "keep.txt"));
}

}  // namespace
}  // namespace varsel
