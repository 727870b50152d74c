// The settings file: which first lines carry a working folder, and the exact bytes written.
#include <gtest/gtest.h>

#include "shell/Settings.h"
#include "support/TempFolder.h"

namespace varsel {
namespace {

using test::TempFolder;

std::string FolderFromFile(const TempFolder& folder, const std::string& bytes) {
    return ReadWorkFolder(folder.Write(kSettingsFileName, bytes));
}

TEST(SettingsTest, ReadsTheTrimmedFolderOfAnExactKeyOnTheFirstLine) {
    TempFolder folder;
    EXPECT_EQ(FolderFromFile(folder, "WorkDir=   /home/ana/data/   \r\n"), "/home/ana/data/");
    EXPECT_EQ(FolderFromFile(folder, "WorkDir=/srv/exp/"), "/srv/exp/") << "no line end at all";
    EXPECT_EQ(FolderFromFile(folder, "WorkDir=/srv/exp/\nWorkDir=/other/\n"), "/srv/exp/");
    EXPECT_EQ(FolderFromFile(folder, "WorkDir=/with blank/in it/ \n"), "/with blank/in it/");
    EXPECT_EQ(FolderFromFile(folder, "WorkDir=/\r\n"), "/");
}

TEST(SettingsTest, AnyOtherFirstLineLeavesTheFolderEmpty) {
    TempFolder folder;
    EXPECT_EQ(FolderFromFile(folder, "workdir=/home/ana/data/\r\n"), "") << "the key is exact";
    EXPECT_EQ(FolderFromFile(folder, "WORKDIR=/home/ana/data/\r\n"), "");
    EXPECT_EQ(FolderFromFile(folder, " WorkDir=/home/ana/data/\r\n"), "");
    EXPECT_EQ(FolderFromFile(folder, "\r\nWorkDir=/home/ana/data/\r\n"), "")
        << "only the first line counts";
    EXPECT_EQ(FolderFromFile(folder, "WorkDir\r\n"), "");
    EXPECT_EQ(FolderFromFile(folder, ""), "");
    EXPECT_EQ(FolderFromFile(folder, "WorkDir=    \r\n"), "");
    EXPECT_EQ(ReadWorkFolder(folder.Path() / "absent.ini"), "");
    EXPECT_EQ(ReadWorkFolder(folder.Path()), "") << "a folder in place of the file";
}

TEST(SettingsTest, AFolderWithoutItsSeparatorGetsOne) {
    TempFolder folder;
    EXPECT_EQ(FolderFromFile(folder, "WorkDir=/home/ana/data\r\n"), "/home/ana/data/");
}

TEST(SettingsTest, WritesExactlyOneCrLfLineAlsoForAnEmptyFolder) {
    TempFolder folder;
    const auto file = folder.Path() / kSettingsFileName;
    folder.Write(kSettingsFileName, "WorkDir=/old/\r\nsecond line that must go\r\n");
    ASSERT_TRUE(WriteWorkFolder(file, "/home/ana/data/"));
    EXPECT_EQ(folder.Read(kSettingsFileName), "WorkDir=/home/ana/data/\r\n");
    ASSERT_TRUE(WriteWorkFolder(file, ""));
    EXPECT_EQ(folder.Read(kSettingsFileName), "WorkDir=\r\n");
    EXPECT_EQ(ReadWorkFolder(file), "");
    ASSERT_TRUE(WriteWorkFolder(file, "/a b/"));
    EXPECT_EQ(ReadWorkFolder(file), "/a b/") << "what is written reads back";
}

TEST(SettingsTest, AnUnwritablePlaceIsReportedNotThrown) {
    TempFolder folder;
    EXPECT_FALSE(WriteWorkFolder(folder.Path() / "missing" / kSettingsFileName, "/x/"));
}

}  // namespace
}  // namespace varsel
