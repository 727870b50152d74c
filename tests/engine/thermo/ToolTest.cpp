// varsel-thermo run with captured output: what each subcommand prints, its messages and its
// exit codes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/tools/thermo/Reaction.h"
#include "engine/tools/thermo/Tool.h"

namespace varsel::engine::tools {
namespace {

struct Outcome {
    int Code = -1;
    std::string Out, Err;
};

Outcome Tool(std::vector<std::string> args) {
    args.insert(args.begin(), "varsel-thermo");
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out, err;
    Outcome run;
    run.Code = RunThermoTool(static_cast<int>(argv.size()), argv.data(), out, err, {});
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The numbers themselves are the Thermo object's; here the tool's own words.
TEST(ThermoTool, WaterAndPotentials) {
    Outcome r = Tool({"water", "25", "1"});
    EXPECT_EQ(r.Code, kExitOk) << r.Err;
    EXPECT_TRUE(Has(r.Out, "0.997047 g/cm3")) << r.Out;
    EXPECT_TRUE(Has(Tool({"water", "300", "sat"}).Out, "(saturation)"));
    EXPECT_TRUE(Has(Tool({"--ew", "water", "25", "1"}).Out, "IAPWS R8-97"));
    EXPECT_TRUE(Has(Tool({"water", "500", "1000"}).Out, "none (above the critical temperature)"));

    r = Tool({"potential", "thermo", "25", "1", "Na+", "CO2,g", "H+", "Kryptonite"});
    EXPECT_EQ(r.Code, kExitFailure);
    EXPECT_TRUE(Has(r.Out, "-62591.0")) << r.Out;  // Na+, in cal/mol too
    EXPECT_TRUE(Has(r.Out, "ideal gas")) << r.Out;
    EXPECT_TRUE(Has(r.Out, "convention (zero)")) << r.Out;
    EXPECT_TRUE(Has(r.Err, "no substance \"Kryptonite\"")) << r.Err;
    EXPECT_TRUE(Has(Tool({"potential", "thermo", "200", "15.5", "OH-"}).Out,
                    "water is steam at 200 C and 15.5 bar (saturation pressure 15.55 bar)"));
}

TEST(ThermoTool, LogKOfAReaction) {
    Outcome r = Tool({"logk", "thermo", "25", "1", "QUARTZ = SiO2,aq"});
    EXPECT_EQ(r.Code, kExitOk) << r.Err;
    EXPECT_TRUE(Has(r.Out, "log K       -3.999")) << r.Out;
    // The reaction may also come as separate words.
    Outcome words = Tool({"logk", "thermo", "25", "1", "CALCITE", "+", "2", "H+", "=", "Ca+2", "+",
                          "CO2,aq", "+", "H2O"});
    EXPECT_EQ(words.Code, kExitOk) << words.Err;
    EXPECT_TRUE(words.Err.empty()) << words.Err;  // balanced: no warning
    Outcome unbalanced = Tool({"logk", "thermo", "25", "1", "QUARTZ = SiO2,aq + H2O"});
    EXPECT_EQ(unbalanced.Code, kExitOk);
    EXPECT_TRUE(Has(unbalanced.Err, "not balanced (H 2.000, O 1.000)")) << unbalanced.Err;
    Outcome missing = Tool({"logk", "thermo", "25", "1", "QUARTZ = Si(OH)4"});
    EXPECT_EQ(missing.Code, kExitFailure);
    EXPECT_TRUE(Has(missing.Err, "Si(OH)4")) << missing.Err;
}

TEST(ThermoTool, UsageErrorsAndLimits) {
    EXPECT_EQ(Tool({}).Code, kExitUsage);
    EXPECT_EQ(Tool({"water", "25"}).Code, kExitUsage);
    EXPECT_EQ(Tool({"frobnicate"}).Code, kExitUsage);
    Outcome notNumber = Tool({"water", "hot", "1"});
    EXPECT_EQ(notNumber.Code, kExitUsage);
    EXPECT_TRUE(Has(notNumber.Err, "\"hot\" is not a number"));
    Outcome tooHot = Tool({"water", "1200", "1"});
    EXPECT_EQ(tooHot.Code, kExitFailure);
    EXPECT_TRUE(Has(tooHot.Err, "outside 0 to 1000"));
    EXPECT_EQ(Tool({"--ignore-limits", "water", "1200", "1000"}).Code, kExitOk);
    EXPECT_EQ(Tool({"water", "400", "sat"}).Code, kExitFailure);
    EXPECT_EQ(Tool({"water", "25", "-3"}).Code, kExitFailure);
    Outcome noDb = Tool({"potential", "nowhere", "25", "1", "Na+"});
    EXPECT_EQ(noDb.Code, kExitFailure);
    EXPECT_TRUE(Has(noDb.Err, "\"nowhere\" not found"));
    EXPECT_EQ(Tool({"--help"}).Code, kExitOk);
}

TEST(ThermoTool, EquilibriumPrintsSpeciesPhasesPhAndIonicStrength) {
    const Outcome nacl =
        Tool({"equilibrium", "thermo", "nacl-ph", "25", "1", "O2,g=0.2", "NaCl=0.1", "pH=3.2"});
    ASSERT_EQ(nacl.Code, kExitOk) << nacl.Err;
    for (const char* text : {"Na+", "NaCl,aq", "H2O,aq", "(solvent)", "pH              3.2000",
                             "mol HCl (acid)", "ionic strength"})
        EXPECT_TRUE(Has(nacl.Out, text)) << text << "\n" << nacl.Out;
    EXPECT_TRUE(Has(nacl.Out, "activity 2.000000e-01")) << nacl.Out;
    const Outcome silver =
        Tool({"equilibrium", "thermo", "agcl", "25", "1", "O2,g=0.2", "NaCl=0.1", "AgCl=0.01"});
    ASSERT_EQ(silver.Code, kExitOk) << silver.Err;
    const std::size_t row = silver.Out.find("CHLORARGYRITE");
    ASSERT_NE(row, std::string::npos);
    EXPECT_NE(silver.Out.find("present", row), std::string::npos) << silver.Out;
}

TEST(ThermoTool, EquilibriumRefusesWhatItCannotCompute) {
    for (const char* amount : {"NaCl=abc", "NaCl", "O2,g=0"})
        EXPECT_EQ(Tool({"equilibrium", "thermo", "nacl", "25", "1", amount}).Code, kExitUsage);
    const Outcome foreign = Tool({"equilibrium", "thermo", "nacl", "25", "1", "AgCl=0.1"});
    EXPECT_EQ(foreign.Code, kExitFailure);
    EXPECT_TRUE(Has(foreign.Err, "AgCl")) << foreign.Err;
    const Outcome thin = Tool({"equilibrium", "thermo", "nacl", "400", "250"});
    EXPECT_TRUE(Has(thin.Err,
                    "the density of water, 0.17 g/cm3, is below the 0.32 g/cm3 limit "
                    "of the aqueous-species model; --ignore-limits lifts it"))
        << thin.Err;
    const Outcome missing = Tool({"equilibrium", "thermo", "no-such-system", "25", "1"});
    EXPECT_EQ(missing.Code, kExitFailure);
    EXPECT_TRUE(Has(missing.Err, "no-such-system")) << missing.Err;
}

TEST(ThermoTool, ReactionParsing) {
    std::vector<ReactionTerm> r = ParseReaction("CALCITE + 2 H+ = Ca+2 + CO2,aq + H2O");
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[1].Name, "H+");
    EXPECT_DOUBLE_EQ(r[1].Coefficient, -2.0);
    EXPECT_DOUBLE_EQ(r[0].Coefficient, -1.0);
    EXPECT_DOUBLE_EQ(r[4].Coefficient, 1.0);
    EXPECT_DOUBLE_EQ(ParseReaction("0.5 O2,g = O2,aq")[0].Coefficient, -0.5);
    for (const char* bad : {"QUARTZ", "= SiO2,aq", "QUARTZ =", "A = B = C", "A + = B", "A B = C",
                            "2 = B", "-1 A = B", "A = 2"}) {
        EXPECT_THROW(ParseReaction(bad), ToolError) << bad;
    }
}

}  // namespace
}  // namespace varsel::engine::tools
