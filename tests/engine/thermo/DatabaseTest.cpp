// The two database formats (this program's text format and the SUPCRT92 slop format), the
// round trip through the converter's writer, and opening databases by name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/common/DataFolders.h"
#include "engine/thermo/Database.h"
#include "engine/thermo/DatabaseText.h"
#include "engine/thermo/SlopReader.h"
#include "engine/thermo/Units.h"
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

TEST(DatabaseText, ReadsEveryKindInJoules) {
    const Database db = Database::Load(kData + "small.vdb");
    const SpeciesRecord* na = db.Find("Na+");
    ASSERT_NE(na, nullptr);
    EXPECT_DOUBLE_EQ(*na->G, -261880.744);
    ASSERT_TRUE(na->Hkf.has_value());
    EXPECT_NEAR(na->Hkf->a1, 0.7694376 / kBar, 1e-20);  // J/(mol·bar) in the file
    EXPECT_EQ(AqueousModelOf(*na), AqueousModel::Hkf);

    const SpeciesRecord* estimated = db.Find("NaEst+");
    ASSERT_NE(estimated, nullptr);
    EXPECT_FALSE(estimated->Hkf.has_value());
    EXPECT_EQ(AqueousModelOf(*estimated), AqueousModel::Estimated);
    EXPECT_NEAR(*estimated->V, -1.21e-6, 1e-18);

    const SpeciesRecord* quartz = db.Find("QUARTZ");
    ASSERT_NE(quartz, nullptr);
    ASSERT_EQ(quartz->Transitions.size(), 1u);
    EXPECT_DOUBLE_EQ(quartz->Transitions[0].Slope, 38.5 * kBar);
    EXPECT_EQ(quartz->Volume, VolumeModel::AlphaQuartz);

    EXPECT_EQ(AqueousModelOf(*db.Find("NOGIBBS,aq")), AqueousModel::Missing);
    EXPECT_NE(db.Description().find("small database"), std::string::npos);
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

TEST(SlopReader, ReadsTheBlocksAndCopesWithTheKnownIrregularities) {
    const Database db = Database::Load(kData + "excerpt.slop");
    // 2 + 2 + 1 + 1 minerals, 2 gases, 11 aqueous records, and the two water entries.
    EXPECT_EQ(db.Size(), 6u + 2u + 11u + 2u);

    const SpeciesRecord* na = db.Find("Na+");
    ASSERT_NE(na, nullptr);
    ASSERT_TRUE(na->Hkf.has_value());
    // Stored "1.8390 -2.2850 3.2560 -2.726 / 18.18 -2.981 0.3306": a1 = 0.1839 cal/(mol bar),
    // a2 = -228.5 cal/mol, a4 = -27260 cal K/mol, c2 = -29810 cal K/mol, omega = 33060 cal/mol.
    EXPECT_NEAR(na->Hkf->a1 * kBar / kCalorie, 0.1839, 1e-12);
    EXPECT_NEAR(na->Hkf->a2 / kCalorie, -228.5, 1e-9);
    EXPECT_NEAR(na->Hkf->a4 / kCalorie, -27260, 1e-7);
    EXPECT_NEAR(na->Hkf->c2 / kCalorie, -29810, 1e-7);
    EXPECT_NEAR(na->Hkf->omega / kCalorie, 33060, 1e-7);
    EXPECT_NEAR(*na->G / kCalorie, -62591, 1e-9);
    EXPECT_EQ(na->Role, SpeciesRole::Ordinary);
    EXPECT_EQ(db.Find("H+")->Role, SpeciesRole::Proton);
    EXPECT_EQ(db.Find("OH-")->Role, SpeciesRole::Hydroxide);

    // "14 .9410" is one number.
    EXPECT_NEAR(db.Find("U(Pent)+2")->Hkf->a2 / kCalorie, 1494.10, 1e-7);
    // A tab inside a line.
    EXPECT_NEAR(db.Find("Pb(Gly)+")->Hkf->c2 / kCalorie, 66769, 1e-6);
    // The name is the first word even where the second field starts early.
    EXPECT_NE(db.Find("HfO+2"), nullptr);
    // Charges the names contradict are corrected: BeOH+ has -2 in the charge field.
    EXPECT_DOUBLE_EQ(db.Find("BeOH+")->Charge(), 1.0);
    // Formula counts the name contradicts: EuF2,aq has F(1) in its elemental formula.
    EXPECT_DOUBLE_EQ(db.Find("EuF2,aq")->Composition.Amount(9), 2.0);
    EXPECT_GE(db.Warnings().size(), 2u);

    // 999999 means unknown G and H, and no transition property.
    const SpeciesRecord* amesite = db.Find("AMESITE,7A");
    EXPECT_FALSE(amesite->G.has_value());
    EXPECT_FALSE(amesite->H.has_value());
    const SpeciesRecord* chalcopyrite = db.Find("CHALCOPYRITE");
    ASSERT_EQ(chalcopyrite->Transitions.size(), 2u);
    EXPECT_DOUBLE_EQ(chalcopyrite->Transitions[0].Slope, 0.0);
    EXPECT_DOUBLE_EQ(chalcopyrite->Transitions[0].Volume, 0.0);
    EXPECT_NEAR(chalcopyrite->Transitions[0].Enthalpy / kCalorie, 2405, 1e-9);
    EXPECT_EQ(db.Find("PD-OXYANNITE")->Transitions.size(), 3u);
    EXPECT_EQ(db.Find("PD-OXYANNITE")->HeatCapacities.size(), 4u);

    // Maier-Kelley scale factors: stored 11.22 8.20 -2.70 give b = 8.2e-3, c = -2.7e5.
    const SpeciesRecord* quartz = db.Find("QUARTZ");
    EXPECT_NEAR(quartz->HeatCapacities[0].b / kCalorie, 8.2e-3, 1e-15);
    EXPECT_NEAR(quartz->HeatCapacities[0].c / kCalorie, -2.7e5, 1e-8);
    EXPECT_EQ(quartz->Volume, VolumeModel::AlphaQuartz);
    EXPECT_EQ(db.Find("COESITE")->Volume, VolumeModel::Coesite);
    EXPECT_FALSE(db.Find("CO2,g")->V.has_value());
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
    const Database slop = Database::Load(kData + "excerpt.slop");
    std::ostringstream out;
    WriteDatabaseText(out, slop, "round trip\nsecond line");
    const Database text = ReadText(out.str());
    ASSERT_EQ(text.Size(), slop.Size());
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
    EXPECT_EQ(out.str().rfind("# round trip\n# second line\n", 0), 0u);
}

TEST(Database, LooksUpExactNamesFirstThenAUniqueCaseInsensitiveMatch) {
    Database db = Database::Load(kData + "excerpt.slop");
    EXPECT_EQ(db.Find("quartz"), db.Find("QUARTZ"));
    EXPECT_EQ(db.Find("Quartz")->Name, "QUARTZ");
    EXPECT_EQ(db.Find("na+"), db.Find("Na+"));
    EXPECT_EQ(db.Find("NaCl"), nullptr);
    EXPECT_EQ(db.Find(""), nullptr);
    // Two names that differ only in case: the exact one wins, a third spelling finds none.
    SpeciesRecord upper = *db.Find("QUARTZ");
    upper.Name = "Quartz";
    db.Add(upper);
    EXPECT_EQ(db.Find("Quartz")->Name, "Quartz");
    EXPECT_EQ(db.Find("QUARTZ")->Name, "QUARTZ");
    EXPECT_EQ(db.Find("quartz"), nullptr);
    // Every database holds the water substance and the solvent.
    EXPECT_EQ(db.Find("H2O")->Role, SpeciesRole::WaterSubstance);
    EXPECT_EQ(db.Find("H2O,aq")->Role, SpeciesRole::Solvent);
    // Adding a record of a known name replaces it.
    const std::size_t size = db.Size();
    SpeciesRecord na = *db.Find("Na+");
    na.Reference = "replaced";
    db.Add(na);
    EXPECT_EQ(db.Size(), size);
    EXPECT_EQ(db.Find("Na+")->Reference, "replaced");
}

TEST(Database, OpensByNameFromTheWorkFolderThenTheShippedData) {
    test::TempFolder work;
    {
        std::ofstream f(work.Path() / "mine.vdb");
        f << "format varsel-thermo 1\nunits cal\nspecies Mine+\n kind aqueous formula Na+ G 1 S "
             "2\n";
    }
    const Database mine = Database::Open("mine", work.Path());
    EXPECT_NE(mine.Find("Mine+"), nullptr);
    EXPECT_EQ(Database::Open("mine.vdb", work.Path()).Size(), mine.Size());
    // A name in the working folder hides a shipped database of the same name.
    std::filesystem::copy_file(work.Path() / "mine.vdb", work.Path() / "thermo.vdb");
    EXPECT_NE(Database::Open("thermo", work.Path()).Find("Mine+"), nullptr);
    // The shipped database, found through the source data folder.
    const Database shipped = Database::Open("thermo", {});
    EXPECT_GT(shipped.Size(), 1500u);
    EXPECT_NE(shipped.Find("CHLORARGYRITE"), nullptr);
    // A slop file is opened by its content, with or without its extension.
    std::filesystem::copy_file(kData + "excerpt.slop", work.Path() / "old.dat");
    EXPECT_NE(Database::Open("old", work.Path()).Find("QUARTZ"), nullptr);

    try {
        Database::Open("no-such-database", work.Path());
        FAIL();
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("no-such-database"), std::string::npos);
    }
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
