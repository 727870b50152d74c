// The two database formats (this program's text format and the SUPCRT92 slop format), the
// slop converter's round trip, and the search for data files by name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/common/DataFolders.h"
#include "engine/thermo/Database.h"
#include "engine/thermo/DatabaseText.h"
#include "engine/thermo/SlopReader.h"
#include "engine/tools/SlopConversion.h"
#include "support/TempFolder.h"

namespace varsel::engine::thermo {
namespace {

const std::string kData = std::string(VARSEL_TEST_DATA_DIR) + "/thermo/";

Database ReadText(const std::string& text) {
    Database db;
    std::istringstream in(text);
    ReadDatabaseText(in, db, "inline");
    return db;
}

std::string TextError(const std::string& text) {
    try {
        ReadText(text);
    } catch (const DatabaseError& e) {
        return e.what();
    }
    return "";
}

TEST(DatabaseText, ErrorsNameTheLineAndTheProblem) {
    const std::string head = "format varsel-thermo 1\nunits cal\n";
    const std::pair<std::string, const char*> cases[] = {
        {"species X\n", "first line must be"},
        {"format varsel-thermo 1\nspecies A\n", "units"},
        {head + "species A\n kind aqueous formula Na+ G abc\n",
         "line 4 (species A): value of G: \"abc\""},
        {head + "species A\n kind rock formula Na\n", "unknown kind"},
        {head + "species A\n kind aqueous formula Na+ colour red\n", "unknown keyword"},
        {head + "species A\n kind aqueous formula Xx2\n", "invalid formula"},
        {head + "species A\n formula Na+\n", "no \"kind\""},
        {head + "species A\n kind aqueous formula Na+ a1 1 a2 2\n", "incomplete"},
        {head + "species A\n kind mineral formula Si cp 1 2\n", "too few"},
        {head + "species A\n kind mineral formula Si cp 1 2 3 transition 800 1 0 0\n",
         "one \"cp\" line per phase"},
        {head + "G 5\n", "before the first"},
        {head + "species A\n kind aqueous formula Na+\nunits J\n", "units"},
        {head + "species Bad+\n kind aqueous formula Na+ S x\n", "Bad+"},  // names the species
    };
    for (const auto& [text, expected] : cases)
        EXPECT_NE(TextError(text).find(expected), std::string::npos) << text;
}

// Records the reader must refuse, each named by its line in the slop file: a short HKF line,
// a name the database format would take for a comment, a number that overflows in SI units.
TEST(SlopReader, BrokenRecordsNameTheLine) {
    auto slop = [](const std::string& name, const std::string& hkf) {
        return "* header\n*****\n aqueous species \n*****\n " + name +
               " Na(+)\n Na+ Na(1)+(1)\n ref:G9\n -62591. -57433. 13.96\n" + hkf;
    };
    const std::pair<std::string, std::string> cases[] = {
        {slop("Na+", " 1.8390 -2.2850 3.2560\n"), "broken.dat, line 9: expected 4 numbers"},
        {slop("#", " 1 2 3 4\n 1 2 3 1\n"), "broken.dat, line 5: species name \"#\""},
        {slop("Na+", " 1 1e306 3 4\n 1 2 3 1\n"), "broken.dat, line 5: species Na+: a2 is"},
        {"* only comments\n", "no slop data blocks"},
    };
    for (const auto& [text, expected] : cases) {
        std::istringstream in(text);
        Database db;
        try {
            ReadSlop(in, db, "broken.dat");
            ADD_FAILURE() << "accepted " << text;
        } catch (const DatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    }
}

// Every property of a record the converter writes, as numbers in a fixed order.
std::vector<std::optional<double>> Numbers(const SpeciesRecord& r) {
    auto number = [](auto v) { return std::optional<double>(static_cast<double>(v)); };
    std::vector<std::optional<double>> v = {r.G, r.H, r.S, r.V, r.Charge()};
    v.insert(v.end(), {number(r.Kind), number(r.Role), number(r.Volume),
                       number(r.Composition.Elements.size()), number(r.Hkf.has_value())});
    if (r.Hkf) v.insert(v.end(), {r.Hkf->a1, r.Hkf->a4, r.Hkf->c2, r.Hkf->omega});
    for (const auto& c : r.HeatCapacities)
        v.insert(v.end(), {c.b, c.c});
    for (const auto& t : r.Transitions)
        v.insert(v.end(), {t.Enthalpy, t.Slope});
    return v;
}

TEST(Converter, WrittenDatabaseReadsBackToTheSameRecords) {
    test::TempFolder work;
    const std::filesystem::path target = work.Path() / "out.vdb";
    const std::filesystem::path notes = work.Write("notes.txt", "from a file\n");
    const auto done = tools::ConvertSlopFile(kData + "excerpt.slop", target, {"round trip"}, notes);
    const Database slop = Database::Load(kData + "excerpt.slop");
    const Database text = Database::Load(target);
    ASSERT_EQ(text.Size(), slop.Size());
    EXPECT_EQ(done.Corrections, slop.Warnings().size());
    for (const SpeciesRecord& r : slop.Records()) {
        SCOPED_TRACE(r.Name);
        ASSERT_NE(text.Find(r.Name), nullptr);
        const auto want = Numbers(r), got = Numbers(*text.Find(r.Name));
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            ASSERT_EQ(got[i].has_value(), want[i].has_value()) << i;
            EXPECT_NEAR(got[i].value_or(0), want[i].value_or(0),
                        1e-9 * std::max(1.0, std::fabs(want[i].value_or(0))));
        }
    }
    const std::string header =
        "Varsel thermodynamic database, converted by varsel-convert-slop "
        "from\nexcerpt.slop.\nround trip\nfrom a file\n\n" +
        done.Counts;
    EXPECT_EQ(text.Description().rfind(header, 0), 0u) << text.Description();
    // A target that cannot be written is refused, and nothing is left behind; a link at the
    // target, or at the name its temporary once had, is neither followed nor removed.
    EXPECT_THROW(tools::ConvertSlopFile(kData + "excerpt.slop", work.Path() / "no/out.vdb", {}),
                 std::exception);
    EXPECT_FALSE(std::filesystem::exists(work.Path() / "no"));
    const std::filesystem::path victim = work.Write("victim", "precious");
    for (const char* link : {"link.vdb", "out.vdb.tmp"})
        std::filesystem::create_symlink(victim, work.Path() / link);
    EXPECT_THROW(tools::ConvertSlopFile(kData + "excerpt.slop", work.Path() / "link.vdb", {}),
                 std::exception);
    tools::ConvertSlopFile(kData + "excerpt.slop", target, {});
    EXPECT_TRUE(std::filesystem::is_symlink(work.Path() / "link.vdb") &&
                std::filesystem::is_symlink(work.Path() / "out.vdb.tmp") &&
                test::FileBytes(victim) == "precious");
}

TEST(DataFolders, SearchOrderAndExtensions) {
    test::TempFolder work, data;
    std::filesystem::create_directories(data.Path() / "systems");
    { std::ofstream(data.Path() / "systems" / "nacl.sys") << "x"; }
    { std::ofstream(work.Path() / "local.sys") << "x"; }
    ::setenv("VARSEL_DATA_DIR", data.Path().c_str(), 1);
    const std::string_view ext[] = {".sys"};
    EXPECT_EQ(ResolveDataFile("nacl", DataKind::Systems, work.Path(), ext).filename(), "nacl.sys");
    EXPECT_EQ(
        ResolveDataFile("nacl.sys", DataKind::Systems, work.Path(), ext).parent_path().filename(),
        "systems");
    EXPECT_EQ(ResolveDataFile("local", DataKind::Systems, work.Path(), ext),
              work.Path() / "local.sys");
    EXPECT_TRUE(ResolveDataFile("absent", DataKind::Systems, work.Path(), ext).empty());
    EXPECT_TRUE(ResolveDataFile("", DataKind::Systems, work.Path(), ext).empty());
    EXPECT_EQ(ResolveDataFile((work.Path() / "local").string(), DataKind::Systems, {}, ext),
              work.Path() / "local.sys");
    const auto folders = DataSearchFolders(DataKind::Systems, work.Path());
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(folders[0], std::filesystem::weakly_canonical(work.Path()));
    EXPECT_EQ(folders[1], std::filesystem::weakly_canonical(data.Path() / "systems"));
    ::unsetenv("VARSEL_DATA_DIR");
}

}  // namespace
}  // namespace varsel::engine::thermo
