// The private folder: made closed to others, and refused when others can enter or change it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "files/PrivateFolder.h"
#include "support/TempFolder.h"

namespace varsel::test {
namespace {

namespace fs = std::filesystem;

TEST(PrivateFolderTest, OnlyAFolderClosedToOthersIsUsed) {
    TempFolder place;
    const fs::path fresh = place.Path() / "fresh", open = place.Path() / "open";
    EXPECT_EQ(MakePrivateFolder(fresh).Path, fresh);
    EXPECT_EQ(fs::status(fresh).permissions(), fs::perms::owner_all);
    fs::create_directory(open);
    fs::permissions(open, fs::perms::all);
    const PrivateFolder refused = MakePrivateFolder(open);
    EXPECT_EQ(std::tuple(refused.Path, refused.Problem),
              std::tuple(fs::path(), open.string() + " is open to other users (mode 0777)"));
    EXPECT_EQ(MakePrivateFolder(open / "inner").Problem,
              open.string() + " may be changed by other users (mode 0777)");
    EXPECT_FALSE(fs::exists(open / "inner")) << "nothing is made where others may change it";

    // The runtime folder when it is the user's and closed to others, else the cache folder.
    // (No other test of this program reads these variables.)
    setenv("XDG_CACHE_HOME", (place.Path() / "cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", fresh.c_str(), 1);
    EXPECT_EQ(VarselPrivateFolder().Path, fresh / "varsel");
    setenv("XDG_RUNTIME_DIR", open.c_str(), 1);
    EXPECT_EQ(VarselPrivateFolder().Path, place.Path() / "cache" / "varsel");
    unsetenv("XDG_CACHE_HOME");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(fs::status(place.Path() / "cache").permissions(), fs::perms::owner_all);
}

}  // namespace
}  // namespace varsel::test
