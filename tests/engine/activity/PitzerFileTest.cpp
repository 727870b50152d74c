// Reading the Pitzer parameter file: the refusal of faulty lines with the line number, and of
// parameters whose charges do not fit their kind. (The shipped file is read by the NaCl tests.)
#include <gtest/gtest.h>

#include <string>

#include "engine/activity/PitzerFile.h"
#include "engine/activity/PitzerModel.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::activity {
namespace {

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
