// The HKF81 and Pitzer activity models against published NaCl tables, at infinite dilution,
// and for the consistency of their water activity with their activity coefficients.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/activity/Hkf81Model.h"
#include "engine/activity/Hkf81Tables.h"
#include "engine/activity/NaClPressure.h"
#include "engine/activity/PitzerModel.h"
#include "engine/equilibrium/EngineSupport.h"
#include "engine/water/Dielectric.h"
#include "engine/water/Iapws95.h"
#include "engine/water/Saturation.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::activity {
namespace {

const std::string kPitzerFile = std::string(VARSEL_SOURCE_DATA_DIR) + "/activity/pitzer.dat";

// Conventional ω (cal/mol) of Na+ and Cl- in the SUPCRT92 data (Shock & Helgeson 1988).
std::vector<Solute> NaCl() {
    return {{"Na+", 1, 0.3306e5, 0}, {"Cl-", -1, 1.4560e5, 0}};
}

// State at T (°C) and P (bar) with the liquid water density (IAPWS-95; the tables' pressures
// are rounded saturation pressures) and the IAPWS dielectric constant (Fernández et al. 1997;
// with the Johnson & Norton one the Pitzer γ± of NaCl lies up to 7 % high at 300 °C).
SolutionState StateAt(double tempC, double pressureBar, std::span<const double> molality) {
    const double t = tempC + 273.15;
    const double rho = water::Density(t, pressureBar * 1e5, water::Phase::Liquid);
    return {{t, tempC, pressureBar, rho, water::DielectricConstantFernandez(t, rho)}, molality};
}

// Mean activity coefficient and osmotic coefficient of NaCl at molality m.
struct Mean {
    double Gamma = 0, Phi = 0;
};
Mean MeanOf(ActivityModel& model, double tempC, double pressureBar, double m) {
    const double molality[2] = {m, m};
    double lnGamma[2], lnAw = 0;
    model.Evaluate(StateAt(tempC, pressureBar, molality), lnGamma, &lnAw);
    return {std::exp(0.5 * (lnGamma[0] + lnGamma[1])), -lnAw / (kWaterMolarMass * 2 * m)};
}

struct Reference {
    double TempC, PressureBar, Molality, Gamma, Phi;
};

// γ± and φ of NaCl at 25 °C: Robinson & Stokes (1959), Electrolyte Solutions, 2nd ed.,
// Appendix 8.10 (γ±) and the osmotic coefficients of the same appendix tables.
const Reference kRobinsonStokes[] = {
    {25, 1, 0.1, 0.778, 0.9325}, {25, 1, 0.5, 0.681, 0.9214}, {25, 1, 1.0, 0.657, 0.9355},
    {25, 1, 2.0, 0.668, 0.9833}, {25, 1, 3.0, 0.714, 1.0453}, {25, 1, 4.0, 0.783, 1.1158},
    {25, 1, 5.0, 0.874, 1.1916}, {25, 1, 6.0, 0.986, 1.2706},
};

// γ± and φ of NaCl along the saturation curve: Pitzer, Peiper & Busey (1984), J. Phys. Chem.
// Ref. Data 13, 1-102, tables of the activity and osmotic coefficients.
const Reference kPitzerPeiperBusey[] = {
    {100, 1.013, 0.1, 0.746, 0.922}, {100, 1.013, 1.0, 0.622, 0.933},
    {100, 1.013, 3.0, 0.676, 1.043}, {100, 1.013, 6.0, 0.868, 1.211},
    {200, 15.5, 0.1, 0.665, 0.889},  {200, 15.5, 1.0, 0.477, 0.862},
    {200, 15.5, 3.0, 0.449, 0.927},  {200, 15.5, 6.0, 0.483, 1.020},
    {300, 85.8, 0.1, 0.518, 0.815},  {300, 85.8, 1.0, 0.266, 0.707},
    {300, 85.8, 3.0, 0.191, 0.704},  {300, 85.8, 6.0, 0.164, 0.747},
};

// β0 (10⁻⁴ kg/mol) and C (10⁻⁵ kg²/mol²; C = C^φ/2 for NaCl) at T (°C), at the lowest
// pressure of the table (1 bar at 100 °C, the saturation pressure above) and at P (bar):
// Pitzer, Peiper & Busey (1984), their table of A_φ, β(0), β(1) and C of NaCl over 0-300 °C
// and 1-1000 bar.
const double kPressureTable[][7] = {
    {100, 1, 1000, 1002, 1024, -165, -168},  {200, 15.5, 600, 938, 956, -242, -234},
    {200, 15.5, 1000, 938, 969, -242, -229}, {250, 39.7, 1000, 848, 823, -232, -176},
    {300, 85.8, 600, 768, 599, -195, -113},  {300, 85.8, 1000, 768, 542, -195, -50}};

TEST(PitzerModel, NaClMatchesPublishedTables) {
    PitzerModel model(NaCl(), ReadPitzerFile(kPitzerFile));
    auto check = [&](const Reference& r, double tolerance) {
        const Mean mean = MeanOf(model, r.TempC, r.PressureBar, r.Molality);
        EXPECT_NEAR(mean.Gamma / r.Gamma, 1.0, tolerance) << r.TempC << " °C, " << r.Molality;
        EXPECT_NEAR(mean.Phi / r.Phi, 1.0, tolerance) << r.TempC << " °C, " << r.Molality;
        EXPECT_NEAR(model.OsmoticCoefficient(), mean.Phi, 1e-12);
    };
    for (const Reference& r : kRobinsonStokes)
        check(r, 0.01);
    for (const Reference& r : kPitzerPeiperBusey)
        check(r, 0.02);
    // Above the lowest pressure β0 and C^φ change as the volumetric parameters carry them; the
    // printed differences hold to the rounding of their two values (one in the last digit of
    // β0 and of C, two in C^φ = 2C).
    for (const auto& v : kPressureTable) {
        const double t = v[0] + 273.15;
        const NaClPressureShift low = NaClPressureCorrection(t, v[1]);
        const NaClPressureShift high = NaClPressureCorrection(t, v[2]);
        EXPECT_NEAR(1e4 * (high.Beta0 - low.Beta0), v[4] - v[3], 1) << v[0] << " °C, " << v[2];
        EXPECT_NEAR(1e5 * (high.Cphi - low.Cphi), 2 * (v[6] - v[5]), 2) << v[0] << " °C, " << v[2];
    }
}

TEST(Hkf81Model, NaClMatchesRobinsonStokesUpTo3Molal) {
    // Equation 298 with Table 29 b_NaCl, b_Na+Cl-, å = 3.72 Å, the ω_abs of Na+ and Cl- and
    // Γ_γ = −log(1 + M_w Σm) gives γ± −0.6 % (0.1, 0.5 m), +0.2 % (1 m), +1.9 % (2 m) and
    // +2.25 % at 3 m. The model follows the equation term by term; the 3 m excess comes with
    // the tabulated parameters, so 3 m is held to 2.5 % and the rest to 2 %.
    Hkf81Model model(NaCl());
    for (const Reference& r : kRobinsonStokes) {
        if (r.Molality > 3.0) continue;
        EXPECT_NEAR(MeanOf(model, 25, 1, r.Molality).Gamma / r.Gamma, 1.0,
                    r.Molality < 2.5 ? 0.02 : 0.025)
            << r.Molality;
    }
}

// With the ion pairs of the nacl System the HKF81 coefficients follow the stoichiometric
// ionic strength; iterated on the true one, the solver's activity loop stalled on the second
// warm call at 300 °C and 500 bar. Warm calls must settle on the cold result.
TEST(Hkf81Model, WarmCallsWithIonPairsSettleOnTheColdResult) {
    equilibrium::testing::EngineRun warm("nacl", "/mode=1 /act=hkf81");
    equilibrium::testing::EngineRun cold("nacl", "/mode=1 /act=hkf81 /cold");
    for (auto* run : {&warm, &cold})
        run->composition[run->Element(11)] = run->composition[run->Element(17)] = 0.5;
    for (double o2 : {1e-30, 1.1e-30, 1e-30, 1.1e-30}) {
        warm.pmc[1] = cold.pmc[1] = o2;
        ASSERT_EQ(warm.Calculate(300, 500), "OK") << o2;
        ASSERT_EQ(cold.Calculate(300, 500), "OK") << o2;
        EXPECT_NEAR(warm.LogActivity("Na+"), cold.LogActivity("Na+"), 1e-9);
    }
}

TEST(Hkf81Tables, NodesEqualPrintedValues) {
    // T (°C), P (bar), A_γ, B_γ, b_NaCl (10⁻⁷ kg/cal) and b_Na+Cl- (10⁻² kg/mol) at three
    // nodes, typed from Helgeson, Kirkham & Flowers (1981) apart from the tables in the code
    // (b_NaCl: Table 29, p. 1477).
    const double nodes[][6] = {{25, 1, 0.5114, 0.3288, 18.081, -9.7520},
                               {200, 1000, 0.7194, 0.3591, -1.2980, 7.6700},
                               {450, 2000, 1.2078, 0.3969, -22.338, 21.570}};
    for (const auto& n : nodes) {
        const Hkf81Parameters p = Hkf81ParametersAt(n[0], n[1]);
        EXPECT_DOUBLE_EQ(p.A, n[2]) << n[0];
        EXPECT_DOUBLE_EQ(p.B, n[3]) << n[0];
        EXPECT_NEAR(p.BNaCl, n[4] * 1e-7, 1e-15) << n[0];
        EXPECT_NEAR(p.BNaClIon, n[5] * 1e-2, 1e-15) << n[0];
    }
    // Between nodes the value is bilinear: the middle of a cell is the mean of its corners.
    const Hkf81Parameters mid = Hkf81ParametersAt(212.5, 875);
    EXPECT_NEAR(mid.A, (0.7194 + 0.7355 + 0.7682 + 0.7882) / 4, 1e-12);
}

TEST(Hkf81Tables, RefusesStatesOutsideTheTables) {
    const double states[][2] = {{-5, 1},   {510, 1000}, {25, 6000},
                                {300, 50}, {400, 300},  {380, 240}};
    for (const auto& s : states)
        EXPECT_THROW(Hkf81ParametersAt(s[0], s[1]), RuntimeFailure) << s[0] << " °C " << s[1];
    // The saturation pressure as the interface passes it, rounded to a float, is inside.
    const float saturation = static_cast<float>(water::SaturationPressure(573.15) * 1e-5);
    EXPECT_NO_THROW(Hkf81ParametersAt(300, std::nextafter(saturation, 0.0f)));
}

// A brine of many ions and dissolved CO2 (ω of the SUPCRT92 data), for mixtures.
std::vector<Solute> Brine() {
    return {{"Na+", 1, 0.3306e5, 0},
            {"K+", 1, 0.1927e5, 0},
            {"Mg+2", 2, 1.5372e5, 0},
            {"Ca+2", 2, 1.2366e5, 0},
            {"H+", 1, 0, 0},
            {"Cl-", -1, 1.4560e5, 0},
            {"SO4-2", -2, 3.1463e5, 0},
            {"HCO3-", -1, 1.2733e5, 0},
            {"OH-", -1, 1.7246e5, 0},
            {"CO2", 0, 0, 0}};
}
const std::vector<double> kBrine = {2.0, 0.2, 0.3, 0.1, 1e-6, 2.8, 0.15, 0.01, 1e-5, 0.05};

std::vector<std::unique_ptr<ActivityModel>> Models(std::vector<Solute> solutes) {
    std::vector<std::unique_ptr<ActivityModel>> models;
    models.push_back(std::make_unique<Hkf81Model>(solutes));
    models.push_back(std::make_unique<PitzerModel>(solutes, ReadPitzerFile(kPitzerFile)));
    return models;
}

TEST(ActivityModels, SigmaSeriesMeetsTheClosedForm) {
    for (double x : {0.0, 0.0099, 0.01, 0.02, 1.0}) {
        const double closed = 3 / (x * x * x) * (1 + x - 1 / (1 + x) - 2 * std::log1p(x));
        EXPECT_NEAR(OsmoticSigma(x), x == 0 ? 1.0 : closed, x < 0.05 ? 1e-9 : 1e-15) << x;
    }
}

// Gibbs-Duhem: for a change dm of the composition, (1/M_w) d ln a_w + Σ dm + Σ m d ln γ = 0.
// Both models hold it along uniform dilution; the Pitzer model, whose γ derive from one
// excess Gibbs energy, for any change.
double GibbsDuhemResidual(ActivityModel& model, const std::vector<double>& direction) {
    const double h = 1e-6;
    auto eval = [&](double s, std::vector<double>& lnGamma) {
        std::vector<double> m(kBrine);
        for (std::size_t i = 0; i < m.size(); ++i)
            m[i] += s * direction[i];
        double lnAw = 0;
        model.Evaluate(StateAt(80, 5, m), lnGamma, &lnAw);
        return lnAw;
    };
    std::vector<double> up(kBrine.size()), down(kBrine.size());
    const double dLnAw = (eval(h, up) - eval(-h, down)) / (2 * h);
    double sum = dLnAw / kWaterMolarMass;
    for (std::size_t i = 0; i < kBrine.size(); ++i)
        sum += direction[i] + kBrine[i] * (up[i] - down[i]) / (2 * h);
    return sum;
}

TEST(ActivityModels, WaterActivityObeysGibbsDuhem) {
    auto models = Models(Brine());
    for (auto& model : models)
        EXPECT_NEAR(GibbsDuhemResidual(*model, kBrine), 0.0, 1e-6) << model->Name();
    const std::vector<std::vector<double>> changes = {
        {0, 0, 0, 1, 0, 2, 0, 0, 0, 0},  // CaCl2
        {2, 0, 0, 0, 0, 0, 1, 0, 0, 0},  // Na2SO4
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 1},  // CO2
        {0, 1, 0, 0, 0, 0, 0, 1, 0, 0},  // KHCO3
    };
    for (const auto& change : changes)
        EXPECT_NEAR(GibbsDuhemResidual(*models[1], change), 0.0, 1e-6);
}

TEST(ActivityModels, RefuseUnusableStates) {
    const double bad[2] = {1.0, -0.5}, good[2] = {1.0, 1.0};
    double lnGamma[2], lnAw = 0;
    for (auto& model : Models(NaCl())) {
        EXPECT_THROW(model->Evaluate(StateAt(25, 1, bad), lnGamma, &lnAw), RuntimeFailure);
        EXPECT_THROW(model->Evaluate(StateAt(25, 1, good), std::span<double>(lnGamma, 1), &lnAw),
                     RuntimeFailure);
    }
}

}  // namespace
}  // namespace varsel::engine::activity
