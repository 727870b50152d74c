// Where the open-file dialog starts, what it filters, and how a chosen path splits into the
// working folder and the file name.
#include <gtest/gtest.h>

#include "shell/FileChoice.h"

namespace varsel {
namespace {

TEST(FileChoiceTest, StartFolderDropsTheTrailingSeparatorExceptAtARoot) {
    EXPECT_EQ(DialogStartFolder("", "/home/ana"), "/home/ana") << "empty opens the home folder";
    EXPECT_EQ(DialogStartFolder("/home/ana/data/", "/home/ana"), "/home/ana/data");
    EXPECT_EQ(DialogStartFolder("/", "/home/ana"), "/");
    EXPECT_EQ(DialogStartFolder("/srv/exp", "/home/ana"), "/srv/exp")
        << "a folder without separator is not cut";
    EXPECT_EQ(DialogStartFolder("d:/", "/home/ana"), "d:/");
    EXPECT_EQ(DialogStartFolder("C:/data/", "/home/ana"), "C:/data");
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
    EXPECT_EQ(folder, "/data/");
    EXPECT_EQ(name, "with blank.v2.txt");
    ASSERT_TRUE(SplitChosenPath("/a.xls", folder, name));
    EXPECT_EQ(folder, "/") << "a root file keeps its separator";
    folder = "/keep/";
    name = "keep.txt";
    EXPECT_FALSE(SplitChosenPath("", folder, name));
    EXPECT_FALSE(SplitChosenPath("plain.txt", folder, name));
    EXPECT_FALSE(SplitChosenPath("/home/ana/", folder, name));
    EXPECT_EQ(folder, "/keep/");
    EXPECT_EQ(name, "keep.txt");
}

}  // namespace
}  // namespace varsel
