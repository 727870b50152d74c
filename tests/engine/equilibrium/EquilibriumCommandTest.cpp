// varsel-thermo equilibrium: the table it prints and how it refuses what it cannot compute.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/tools/thermo/Tool.h"

namespace varsel::engine::tools {
namespace {

struct Outcome {
    int Code = 0;
    std::string Out, Err;
};

Outcome Equilibrium(std::vector<const char*> args) {
    args.insert(args.begin(), {"varsel-thermo", "equilibrium"});
    std::ostringstream out, err;
    Outcome o;
    o.Code = RunThermoTool(static_cast<int>(args.size()), args.data(), out, err, "/nonexistent");
    o.Out = out.str();
    o.Err = err.str();
    return o;
}

TEST(EquilibriumCommand, PrintsSpeciesPhasesPhAndIonicStrength) {
    const Outcome nacl = Equilibrium({"thermo", "nacl", "25", "1", "O2,g=0.2", "NaCl=0.1"});
    ASSERT_EQ(nacl.Code, 0) << nacl.Err;
    for (const char* text : {"Na+", "NaCl,aq", "H2O,aq", "(solvent)", "pH", "ionic strength"})
        EXPECT_NE(nacl.Out.find(text), std::string::npos) << text << "\n" << nacl.Out;
    EXPECT_NE(nacl.Out.find("activity 2.000000e-01"), std::string::npos) << nacl.Out;

    const Outcome silver =
        Equilibrium({"thermo", "agcl", "25", "1", "O2,g=0.2", "NaCl=0.1", "AgCl=0.01"});
    ASSERT_EQ(silver.Code, 0) << silver.Err;
    const std::size_t row = silver.Out.find("CHLORARGYRITE");
    ASSERT_NE(row, std::string::npos);
    EXPECT_NE(silver.Out.find("present", row), std::string::npos) << silver.Out;
}

TEST(EquilibriumCommand, RefusesWhatItCannotCompute) {
    EXPECT_EQ(Equilibrium({"thermo", "nacl", "25", "1", "NaCl=abc"}).Code, kExitUsage);
    EXPECT_EQ(Equilibrium({"thermo", "nacl", "25", "1", "NaCl"}).Code, kExitUsage);
    EXPECT_EQ(Equilibrium({"thermo", "nacl", "25", "1", "O2,g=0"}).Code, kExitUsage);
    const Outcome foreign = Equilibrium({"thermo", "nacl", "25", "1", "AgCl=0.1"});
    EXPECT_EQ(foreign.Code, kExitFailure);
    EXPECT_NE(foreign.Err.find("AgCl"), std::string::npos) << foreign.Err;
    const Outcome thin = Equilibrium({"thermo", "nacl", "400", "250"});
    EXPECT_NE(thin.Err.find("the density of water, 0.17 g/cm3, is below the 0.32 g/cm3 limit of "
                            "the aqueous-species model; --ignore-limits lifts it"),
              std::string::npos)
        << thin.Err;
    const Outcome missing = Equilibrium({"thermo", "no-such-system", "25", "1"});
    EXPECT_EQ(missing.Code, kExitFailure);
    EXPECT_NE(missing.Err.find("no-such-system"), std::string::npos) << missing.Err;
}

}  // namespace
}  // namespace varsel::engine::tools
