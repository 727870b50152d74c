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

TEST(SettingsTest, OnlyAnExactKeyOnTheFirstLineGivesTheTrimmedFolder) {
    TempFolder folder;
    const std::pair<const char*, const char*> cases[] = {
        {"WorkDir=   /home/ana/data/   \r\n", "/home/ana/data/"},
        {"WorkDir=/srv/exp/", "/srv/exp/"},  // no line end at all
        {"WorkDir=/srv/exp/\nWorkDir=/other/\n", "/srv/exp/"},
        {"WorkDir=/with blank/in it/ \n", "/with blank/in it/"},
        {"WorkDir=/home/ana/data\r\n", "/home/ana/data/"},  // the separator is added
        {"WorkDir=/\r\n", "/"},
        {"workdir=/home/ana/data/\r\n", ""},
        {" WorkDir=/home/ana/data/\r\n", ""},
        {"\r\nWorkDir=/home/ana/data/\r\n", ""},  // only the first line counts
        {"WorkDir\r\n", ""},
        {"", ""},
        {"WorkDir=    \r\n", ""}};
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(FolderFromFile(folder, bytes), expected) << bytes;
    EXPECT_EQ(ReadWorkFolder(folder.Path() / "absent.ini"), "");
    EXPECT_EQ(ReadWorkFolder(folder.Path()), "") << "a folder in place of the file";
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
    EXPECT_FALSE(WriteWorkFolder(folder.Path() / "missing" / kSettingsFileName, "/x/"))
        << "an unwritable place is reported, not thrown";
}

}  // namespace
}  // namespace varsel
