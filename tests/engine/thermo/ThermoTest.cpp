// The Thermo object as the program calls it: type codes, water properties and
// potentials in the units of the interface, the limits and the "cannot compute" answer, and
// the option flags.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "engine/thermo/Database.h"
#include "engine/thermo/HkfSensitivity.h"
#include "engine/thermo/Thermo.h"
#include "engine/thermo/Units.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::thermo {
namespace {

const std::string kData = std::string(VARSEL_TEST_DATA_DIR) + "/thermo/";

bool CannotCompute(float value) {
    return std::isfinite(value) && std::fabs(value) > 1e33f;
}

class ThermoObject : public ::testing::Test {
  protected:
    ThermoObject() {
        std::int16_t flag = 7;
        thermo_.OpenDatabase("thermo", flag);
        EXPECT_EQ(flag, 0);
    }
    std::int16_t Code(const std::string& name) {
        return thermo_.GetTypeCode(thermo_.FindSubstance(name));
    }
    Thermo thermo_;
};

TEST_F(ThermoObject, TypeCodesFollowTheRangesAndStayStable) {
    EXPECT_EQ(std::tuple(Code("H2O,aq"), Code("H+"), Code("OH-")), std::tuple(0, 1, 2));
    const std::int16_t na = Code("Na+"), cl = Code("Cl-");
    EXPECT_GE(na, 3);
    EXPECT_LE(na, 1023);
    EXPECT_NE(na, cl);
    EXPECT_EQ(Code("Na+"), na);  // the same handle on every look-up
    for (const char* mineral : {"QUARTZ", "H2O"}) {
        EXPECT_GE(Code(mineral), 2048);
        EXPECT_LT(Code(mineral), 3072);
    }
    EXPECT_GE(Code("CO2,g"), 3072);
    EXPECT_EQ(Code("Quartz"), Code("QUARTZ"));
    EXPECT_EQ(thermo_.FindSubstance("Unobtainium+"), -1);
    for (std::int16_t index : {-1, 0, 32000})
        EXPECT_EQ(thermo_.GetTypeCode(index), -1);
    // Codes are handed out on first look-up: any 1021 aqueous species of the database's 1337
    // can be used at once; asking for one more is refused with a clear message.
    int handedOut = 2;  // Na+ and Cl- above
    bool refused = false;
    for (std::size_t i = 0; i < thermo_.OpenedDatabase()->Size() && !refused; ++i) {
        const SpeciesRecord& r = thermo_.OpenedDatabase()->Records()[i];
        if (r.Kind != SpeciesKind::Aqueous || r.Role != SpeciesRole::Ordinary) continue;
        if (r.Name == "Na+" || r.Name == "Cl-") continue;
        try {
            const std::int16_t code = thermo_.GetTypeCode(static_cast<std::int16_t>(i + 1));
            EXPECT_EQ(thermo_.RecordOfCode(code), &r);
            ++handedOut;
        } catch (const RuntimeFailure& e) {
            refused = true;
            EXPECT_NE(std::string(e.what()).find(r.Name), std::string::npos) << e.what();
        }
    }
    EXPECT_TRUE(refused);
    EXPECT_EQ(handedOut, 1021);
    // Other ranges still have their codes.
    EXPECT_GE(Code("CALCITE"), 2048);
}

TEST_F(ThermoObject, WaterAndPotentialsAt25CInInterfaceUnits) {
    const float t = 298.15f;
    EXPECT_NEAR(thermo_.SaturationPressure(t), 0.031699, 1e-5);  // bar
    float p = 1.0f;
    std::int16_t flag = 5;
    const float rho = thermo_.WaterDensity(t, p, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_NEAR(rho, 0.997047, 1e-6);  // g/cm³
    // Johnson & Norton (1991) at 25 °C and 1 bar: 78.245, SUPCRT92's Z = -1/ε = -0.0127803.
    const float eps = thermo_.WaterProperty(t, rho);
    EXPECT_NEAR(eps, 78.245, 0.01);
    const float gw = thermo_.WaterPotential(t, p, rho);  // J/mol
    EXPECT_NEAR(gw, -56688 * 4.184, 1.0);
    // OH-: −37595 cal/mol in the SUPCRT-family data; here from G(H2O) and log Kw.
    const float goh = thermo_.Type2Potential(t, rho, gw);
    EXPECT_NEAR(goh, -37595 * 4.184, 25.0);

    // kJ/mol: the tabulated ΔfG° at the reference state.
    EXPECT_NEAR(thermo_.AqueousPotential(Code("Na+"), t, p, rho, eps), -62591 * 4.184e-3, 2e-3);
    EXPECT_NEAR(thermo_.SubstancePotential(Code("QUARTZ"), t, p, flag), -204646 * 4.184e-3, 2e-3);
    EXPECT_NEAR(thermo_.SubstancePotential(Code("H2O"), t, p, flag), gw * 1e-3, 1e-3);
    EXPECT_NEAR(thermo_.GasPotential(Code("CO2,g"), t, 1.0f), -94254 * 4.184e-3, 2e-3);
    // A gas at 10 bar: the pure ideal gas, RT ln 10 above its standard potential.
    EXPECT_NEAR(thermo_.GasPotential(Code("CO2,g"), t, 10.0f) -
                    thermo_.GasPotential(Code("CO2,g"), t, 1.0f),
                kGasConstant * 298.15 * std::log(10.0) * 1e-3, 1e-3);
}

// The reader asks for the density at the saturation pressure as a 32-bit float, which may lie
// a few parts in 1e8 below the true value: the solvent must still be the saturated liquid.
TEST_F(ThermoObject, SaturationPressureStoredAsAFloatGivesTheLiquid) {
    for (const float celsius : {100.0f, 150.0f, 250.0f, 300.0f, 370.0f}) {
        const float t = celsius + 273.15f;
        const float saturation = thermo_.SaturationPressure(t);
        for (const float p : {saturation, std::nextafter(saturation, 0.0f),
                              std::nextafter(std::nextafter(saturation, 0.0f), 0.0f)}) {
            float pressure = p;
            std::int16_t flag = 0;
            EXPECT_GT(thermo_.WaterDensity(t, pressure, flag), 0.45f) << celsius << " C, " << p;
        }
        float vapour = saturation * 0.99f;
        std::int16_t flag = 0;
        EXPECT_LT(thermo_.WaterDensity(t, vapour, flag), 0.3f) << "clearly below: vapour";
    }
}

TEST_F(ThermoObject, OutOfRangeAndMissingDataGiveAMagnitudeAbove1e33NeverNaN) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::int16_t flag = 0;
    float p = 1.0f, big = 6000.0f, zero = 0.0f;
    const std::int16_t na = Code("Na+"), qtz = Code("QUARTZ"), co2 = Code("CO2,g");
    EXPECT_TRUE(CannotCompute(thermo_.SaturationPressure(700.0f)));  // above the critical point
    EXPECT_TRUE(CannotCompute(thermo_.WaterDensity(1300.0f, p, flag)));
    EXPECT_TRUE(CannotCompute(thermo_.WaterDensity(500.0f, big, flag)));
    EXPECT_TRUE(CannotCompute(thermo_.WaterDensity(nan, p, flag)));
    EXPECT_TRUE(CannotCompute(thermo_.WaterProperty(500.0f, 1e35f)));
    EXPECT_TRUE(CannotCompute(thermo_.Type2Potential(500.0f, 0.9f, 1e35f)));
    // Steam at 400 °C and 1 bar is far below 0.32 g/cm³: no aqueous potential.
    float one = 1.0f;
    const float steam = thermo_.WaterDensity(673.15f, one, flag);
    EXPECT_TRUE(CannotCompute(thermo_.AqueousPotential(na, 673.15f, 1.0f, steam, 1.0f)));
    EXPECT_TRUE(CannotCompute(thermo_.AqueousPotential(na, 500.0f, 1000.0f, nan, 30.0f)));
    EXPECT_TRUE(CannotCompute(thermo_.SubstancePotential(qtz, 500.0f, 6000.0f, flag)));
    EXPECT_TRUE(CannotCompute(thermo_.GasPotential(co2, 500.0f, 0.0f)));
    // A code of the wrong range or one never handed out.
    EXPECT_TRUE(CannotCompute(thermo_.AqueousPotential(qtz, 298.15f, 1.0f, 0.997f, 78.4f)));
    EXPECT_TRUE(CannotCompute(thermo_.GasPotential(qtz, 298.15f, 1.0f)));
    EXPECT_TRUE(CannotCompute(thermo_.SubstancePotential(3000, 298.15f, 1.0f, flag)));
    // Minerals with an unknown ΔfG° (999999 in the slop file).
    EXPECT_TRUE(CannotCompute(thermo_.SubstancePotential(Code("AMESITE,7A"), 298.15f, 1.0f, flag)));

    // Lifting the limits computes what the equations allow; pressure must stay positive.
    thermo_.SetIgnoreLimits(true);
    float p6000 = 6000.0f;
    const float rho = thermo_.WaterDensity(500.0f, p6000, flag);
    EXPECT_TRUE(std::isfinite(rho) && rho < 2.0f);
    EXPECT_FALSE(CannotCompute(thermo_.SubstancePotential(qtz, 500.0f, 6000.0f, flag)));
    EXPECT_FALSE(CannotCompute(thermo_.AqueousPotential(na, 673.15f, 1.0f, 0.3f, 5.0f)));
    EXPECT_TRUE(CannotCompute(thermo_.WaterDensity(500.0f, zero, flag)));
}

TEST_F(ThermoObject, MissingParametersAndTheEstimatedModel) {
    thermo_.UseDatabase(Database::Load(kData + "small.vdb"));
    std::int16_t flag = 0;
    float p = 500.0f;
    const float t = 473.15f;
    const float rho = thermo_.WaterDensity(t, p, flag);
    const float eps = thermo_.WaterProperty(t, rho);
    EXPECT_TRUE(CannotCompute(thermo_.AqueousPotential(Code("NOGIBBS,aq"), t, p, rho, eps)));
    EXPECT_TRUE(CannotCompute(thermo_.SubstancePotential(Code("NOVOLUME"), t, p, flag)));
    const float fitted = thermo_.AqueousPotential(Code("Na+"), t, p, rho, eps);
    const float estimated = thermo_.AqueousPotentialEx(Code("NaEst+"), t, p, rho, eps, flag);
    EXPECT_FALSE(CannotCompute(estimated));
    EXPECT_NEAR(estimated, fitted, 3.0);  // kJ/mol
    EXPECT_NE(estimated, fitted);
    float one = 1.0f;
    const float rho25 = thermo_.WaterDensity(298.15f, one, flag);
    EXPECT_NEAR(thermo_.AqueousPotentialEx(Code("NaEst+"), 298.15f, 1.0f, rho25,
                                           thermo_.WaterProperty(298.15f, rho25), flag),
                -261.8807, 2e-3)
        << "at the reference state the estimated model gives back its G";
}

// Each option flag changes what it names, and bit 14 alone changes nothing.
TEST_F(ThermoObject, ModesChangeTheirOwnNumbers) {
    const float t = 573.15f;  // 300 °C, where g is largest along the 500 bar isobar
    float p = 500.0f;
    std::int16_t flag = 0;
    const float rho = thermo_.WaterDensity(t, p, flag);
    const std::int16_t na = Code("Na+"), sio2 = Code("SiO2,aq");

    thermo_.SetModes(16384);
    const float eps = thermo_.WaterProperty(t, rho);
    const float naBase = thermo_.AqueousPotential(na, t, p, rho, eps);
    const float sio2Base = thermo_.AqueousPotential(sio2, t, p, rho, eps);
    const float gw = thermo_.WaterPotential(t, p, rho);
    const float ohBase = thermo_.Type2Potential(t, rho, gw);
    thermo_.SetModes(0);
    EXPECT_EQ(thermo_.AqueousPotential(na, t, p, rho, eps), naBase);

    // /wp: ω of ions constant; neutral species are untouched.
    thermo_.SetModes(16384 | 1);
    EXPECT_GT(std::fabs(thermo_.AqueousPotential(na, t, p, rho, eps) - naBase), 0.05f);
    EXPECT_EQ(thermo_.AqueousPotential(sio2, t, p, rho, eps), sio2Base);
    EXPECT_EQ(thermo_.Type2Potential(t, rho, gw), ohBase);

    // /bl: another log Kw, so another OH-; HKF species untouched.
    thermo_.SetModes(16384 | 2);
    EXPECT_GT(std::fabs(thermo_.Type2Potential(t, rho, gw) - ohBase), 10.0f);  // J/mol
    EXPECT_EQ(thermo_.AqueousPotential(na, t, p, rho, eps), naBase);

    // /ew: another dielectric constant, and through it other aqueous potentials.
    thermo_.SetModes(16384 | 4);
    const float epsFernandez = thermo_.WaterProperty(t, rho);
    EXPECT_GT(std::fabs(epsFernandez - eps), 0.01f);
    EXPECT_GT(std::fabs(thermo_.AqueousPotential(na, t, p, rho, epsFernandez) - naBase), 0.01f);
    // At the reference state every model gives back ΔfG°, whatever its ε.
    float one = 1.0f;
    const float rho25 = thermo_.WaterDensity(298.15f, one, flag);
    EXPECT_NEAR(
        thermo_.AqueousPotential(na, 298.15f, 1.0f, rho25, thermo_.WaterProperty(298.15f, rho25)),
        -62591 * 4.184e-3, 2e-3);
}

// G° of a parameter set, as a series fit of the parameters uses it: at a data file's T and P
// it is the engine interface's own potential, and its gradient in each of the nine parameters
// is that of finite differences, for an ion (ω not linear) and a neutral species, with the
// solvent function g switched on and off.
TEST_F(ThermoObject, GibbsOfAParameterSetFollowsTheInterfaceAndItsDerivatives) {
    const struct {
        float tempK, pressureBar;
        int modes;
    } states[] = {{573.15f, 85.879f, 0}, {473.15f, 500.0f, 0}, {423.15f, 1000.0f, 1}};
    for (const char* name : {"AgCl2-", "AgCl,aq", "Na+"}) {
        const SpeciesRecord& r = *thermo_.OpenedDatabase()->Find(name);
        const HkfParameterValues v = *HkfParameterValuesOf(r);
        for (const auto& state : states) {
            thermo_.SetModes(static_cast<std::int16_t>(16384 | state.modes));
            const Modes modes = Modes::FromFlags(state.modes);
            const HkfWater water = *InterfaceWater(state.tempK, state.pressureBar, modes);
            std::int16_t flag = 0;
            float p = state.pressureBar;
            const float rho = thermo_.WaterDensity(state.tempK, p, flag);
            const float engine = thermo_.AqueousPotential(Code(name), state.tempK, p, rho,
                                                          thermo_.WaterProperty(state.tempK, rho));
            EXPECT_NEAR(HkfGibbsOf(v, r.Charge(), water) / 1000, engine, 2e-5) << name;

            const HkfParameterValues gradient = HkfGibbsGradient(v, r.Charge(), water);
            for (int k = 0; k < kHkfParameterCount; ++k) {
                const double h = 1e-3 * std::max(std::fabs(v[k]), 1e-6);
                HkfParameterValues up = v, down = v;
                up[k] += h;
                down[k] -= h;
                const double fd =
                    (HkfGibbsOf(up, r.Charge(), water) - HkfGibbsOf(down, r.Charge(), water)) /
                    (2 * h);
                EXPECT_NEAR(gradient[k], fd, 1e-6 * std::fabs(fd) + 1e-9 * std::fabs(v[k]) / h)
                    << name << " " << HkfParameterName(static_cast<HkfParameter>(k)) << " at "
                    << state.tempK << " K";
            }
        }
    }
}

}  // namespace
}  // namespace varsel::engine::thermo
