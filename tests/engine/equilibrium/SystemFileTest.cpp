// System files: the format, its refusals, and how a System is found by name.
#include "engine/equilibrium/SystemFile.h"

#include <gtest/gtest.h>

#include "model/RuntimeFailure.h"
#include "support/TempFolder.h"

namespace varsel::engine::equilibrium {
namespace {

std::string FailureOf(const std::string& text) {
    try {
        ParseSystem(text, "test.sys");
    } catch (const RuntimeFailure& failure) {
        return failure.what();
    }
    return "";
}

TEST(SystemFile, ReadsSectionsInOrderWithCommentsAndBlankLines) {
    const SystemDefinition s = ParseSystem(
        "# a comment\r\n[PMC]\r\n  O2,g  \r\nH2O # the pure substance\n\n[extras]\nSILVER\n"
        "[aqueous]\nH2O\nH+\n\tOH-\n[extras]\nCHLORARGYRITE\n",
        "x.sys");
    EXPECT_EQ(s.Mobile, (std::vector<std::string>{"O2,g", "H2O"}));
    EXPECT_EQ(s.Extras, (std::vector<std::string>{"SILVER", "CHLORARGYRITE"}));
    EXPECT_EQ(s.Aqueous, (std::vector<std::string>{"H2O", "H+", "OH-"}));
    EXPECT_EQ(s.Path, "x.sys");
    // No aqueous section at all: a System without a solution, which the solver refuses later.
    EXPECT_TRUE(ParseSystem("[pmc]\nQUARTZ\n", "y").Aqueous.empty());
}

TEST(SystemFile, RefusesWhatIsNotASystemSayingWhereAndWhat) {
    EXPECT_NE(FailureOf("[pmc]\nQUARTZ\n[minerals]\n").find("line 3"), std::string::npos);
    EXPECT_NE(FailureOf("QUARTZ\n").find("before any section"), std::string::npos);
    EXPECT_NE(FailureOf("[pmc]\nO2,g\n[extras]\nO2,g\n").find("O2,g is listed twice"),
              std::string::npos);
    EXPECT_NE(FailureOf("[aqueous]\nH2O\nNa+\nNa+\n").find("Na+ is listed twice"),
              std::string::npos);
    EXPECT_NE(FailureOf("[aqueous]\nNa+\nH2O\n").find("must start with the solvent H2O"),
              std::string::npos);
    EXPECT_NE(FailureOf("[aqueous]\n").find("empty"), std::string::npos);
    EXPECT_NE(FailureOf("[aqueous]\nH2O\nNa Cl\n").find("no blanks"), std::string::npos);
}

TEST(SystemFile, FoundInTheWorkingFolderBeforeTheShippedOnes) {
    test::TempFolder workFolder, shippedFolder;
    const std::string work = workFolder.Path().string();
    const std::string shipped = shippedFolder.Path().string();
    const std::string bundled = shippedFolder.Write("nacl.sys", "[aqueous]\nH2O\n").string();
    const std::string other = shippedFolder.Write("quartz", "[aqueous]\nH2O\nH+\n").string();
    EXPECT_EQ(FindSystemFile("nacl", work, {shipped}), bundled);
    const std::string local = workFolder.Write("nacl.sys", "[aqueous]\nH2O\nOH-\n").string();
    EXPECT_EQ(FindSystemFile("nacl", work, {shipped}), local);
    EXPECT_EQ(FindSystemFile("nacl.sys", work, {shipped}), local);
    EXPECT_EQ(FindSystemFile("quartz", work, {shipped}), other);
    EXPECT_EQ(FindSystemFile("missing", work, {shipped}), "");
    EXPECT_EQ(FindSystemFile(local, "/nonexistent", {}), local);
    EXPECT_EQ(LoadSystemFile("nacl", work, {shipped}).Aqueous.back(), "OH-");
    try {
        LoadSystemFile("missing", work, {shipped});
        ADD_FAILURE() << "a missing System was loaded";
    } catch (const RuntimeFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find("missing"), std::string::npos);
    }
}

TEST(SystemFile, ShippedSystemsParse) {
    const std::string folder = std::string(VARSEL_SOURCE_DATA_DIR) + "/systems";
    for (const char* name : {"nacl", "quartz", "agcl"}) {
        const SystemDefinition s = LoadSystemFile(name, "/nonexistent", {folder});
        EXPECT_EQ(s.Aqueous.front(), "H2O") << name;
        EXPECT_FALSE(s.Mobile.empty()) << name;
    }
    const SystemDefinition nacl = LoadSystemFile("nacl", "/nonexistent", {folder});
    EXPECT_EQ(nacl.Mobile, (std::vector<std::string>{"O2,g", "H2O"}));
}

}  // namespace
}  // namespace varsel::engine::equilibrium
