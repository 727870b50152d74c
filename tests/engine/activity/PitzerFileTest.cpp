// Reading the Pitzer parameter file: the shipped file, its temperature function, and the
// refusal of faulty lines with the line number.
#include <gtest/gtest.h>

#include <string>

#include "engine/activity/PitzerFile.h"
#include "engine/activity/PitzerModel.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::activity {
namespace {

TEST(PitzerFile, ShippedFileHoldsTheNaClParameters) {
    const PitzerParameters p =
        ReadPitzerFile(std::string(VARSEL_SOURCE_DATA_DIR) + "/activity/pitzer.dat");
    int nacl = 0;
    for (const PitzerEntry& e : p.Entries)
        if (e.Species[0] == "Cl-" && e.Species[1] == "Na+" && e.Species[2].empty()) {
            ++nacl;
            if (e.Kind == PitzerKind::B0) {
                EXPECT_DOUBLE_EQ(PitzerTemperatureValue(e.A, 298.15), 0.07534);
                // The temperature terms give β0 ≈ 0.0997 at 100 °C (Pitzer, Peiper & Busey
                // 1984 list 0.0999 there).
                EXPECT_NEAR(PitzerTemperatureValue(e.A, 373.15), 0.0997, 5e-4);
            }
        }
    EXPECT_EQ(nacl, 3);  // β0, β1, C^φ
}

TEST(PitzerFile, RefusesFaultyLinesNamingThem) {
    const char* cases[][2] = {
        {"Na+ Cl- 0.1\n", "line 1: a parameter line before"},
        {"-B0\n-GAMMA\n", "line 2: unknown block '-GAMMA'"},
        {"-B0\n  Na+ Cl-\n", "line 2: expected 2 species"},
        {"-PSI\n Na+ K+ Cl- 1 2 3 4 5 6 7\n", "line 2: expected 3 species"},
        {"-B1\n Na+ Cl- 0.2x\n", "line 2: '0.2x' is not a number"},
        {"-B0\n Na+ Cl- 0.1\n# note\n Cl- Na+ 0.2\n", "line 4: parameter given twice"},
    };
    for (const auto& c : cases) {
        try {
            ParsePitzerText(c[0], "test.dat");
            ADD_FAILURE() << "accepted: " << c[0];
        } catch (const RuntimeFailure& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("test.dat, ") + c[1]),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST(PitzerFile, ModelRefusesParametersOfTheWrongCharges) {
    const std::vector<Solute> solutes = {{"Na+", 1, 0, 0}, {"K+", 1, 0, 0}, {"Cl-", -1, 0, 0}};
    const char* texts[] = {"-B0\n Na+ K+ 0.1\n", "-THETA\n Na+ Cl- 0.1\n", "-PSI\n Na+ K+ K+ 0.1\n",
                           "-LAMDA\n Na+ Cl- 0.1\n"};
    for (const char* text : texts)
        EXPECT_THROW(PitzerModel(solutes, ParsePitzerText(text, "t")), RuntimeFailure) << text;
    // Parameters of species that are not solutes are left out.
    EXPECT_NO_THROW(PitzerModel(solutes, ParsePitzerText("-B0\n Ca+2 SO4-2 0.2\n", "t")));
}

}  // namespace
}  // namespace varsel::engine::activity
