// The fit on synthetic data made by the scripted engine at known species values: recovery
// from a distant start, the exact half-width of a quadratic misfit, the progress shown, and every
// way a fit ends: no free species, a degenerate set, engine failures, arithmetic faults, a species
// the data do not see, weights that are all zero, an iteration that stalls and a stop by the user.
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "PipelineFixture.h"
#include "model/Numbers.h"
#include "optim/ConfidenceIntervals.h"
#include "optim/FitDriver.h"
#include "optim/FitSummary.h"
#include "optim/Misfit.h"

namespace varsel::test {
namespace {

using Lines = std::vector<std::string>;

// The truth: K1 = 3 and K2 = 2 at 25 °C against Na+ -261.881 and Cl- -131.29 kJ/mol.
constexpr double kRT = 298.15 * 0.008314411328;
const double kTrueNaCl = -261.881 - 131.29 - kRT * std::log(3.0);
const double kTrueNaCl2 = -261.881 - 2 * 131.29 - kRT * std::log(2.0);
const std::vector<double> kChlorideMolal = {0.01, 0.02, 0.05, 0.1, 0.2, 0.3,
                                            0.5,  0.7,  1.0,  1.5, 2.0, 3.0};

struct SpeciesRow {
    std::string name, initial, result, halfWidth;
};

// A complexing series: 0.001 mol NaCl with HCl in excess, a(Na+) against m(Cl).
Lines ComplexFile(const std::vector<SpeciesRow>& species, const std::vector<std::string>& y,
                  const std::string& weight = "1") {
    // clang-format off
    Lines lines = {"Complexing series", "Database:\tthermo", "System:\tnacl", "Options:",
                   "T, C:\t25", "P, bar:\t1", "P.m.c.:\t2\tPotential", "\tO2,g\t-10", "\tH2O",
                   "Species:\t" + std::to_string(species.size()) + "\tInitial\tResult\t \xB1"};
    // clang-format on
    for (const SpeciesRow& s : species)
        lines.push_back("\t" + s.name + "\t" + s.initial + "\t" + s.result + "\t" + s.halfWidth);
    lines.insert(lines.end(), {"Mean err.:", "X axis:\tm(Cl)", "Y axis:\ta(Na+)", "",
                               "Sample\tNaCl\tHCl\tWeight\tX\tY (exp)\tY (calc)\terror\textras"});
    for (std::size_t k = 0; k < y.size(); ++k) {
        lines.push_back("c" + std::to_string(k + 1) + "\t0.001\t" +
                        ShortForm(static_cast<float>(kChlorideMolal[k])) + "\t" + weight + "\t\t" +
                        y[k]);
    }
    lines.emplace_back();
    return lines;
}

std::string Value(double v) {
    return ShortForm(static_cast<float>(v));
}

const SpeciesRow kSodiumRow = {"Na+", "-261.881", "-261.881", ""};
const SpeciesRow kChlorideRow = {"Cl-", "-131.29", "-131.29", ""};
// Both complexes free, from the engine's own values (7 and 10 kJ/mol away from the truth).
const std::vector<SpeciesRow> kBothFree = {
    kSodiumRow, kChlorideRow, {"NaCl,aq", "", "", ""}, {"NaCl2-", "", "", ""}};

class FitTest : public PipelineTest {
  protected:
    // Y of every sample at the true values, made by a fit with nothing free.
    std::vector<double> TrueY() {
        const Lines lines = ComplexFile({kSodiumRow,
                                         kChlorideRow,
                                         {"NaCl,aq", Value(kTrueNaCl), Value(kTrueNaCl), ""},
                                         {"NaCl2-", Value(kTrueNaCl2), Value(kTrueNaCl2), ""}},
                                        std::vector<std::string>(kChlorideMolal.size(), "0"));
        EXPECT_EQ(Read(lines), 0) << m.StatusText;
        FitParameters(m, context);
        EXPECT_EQ(m.StatusCode, 0) << m.StatusText;
        std::vector<double> y;
        for (int k = 1; k <= m.SampleCount; ++k)
            y.push_back(m.Samples[k].YCalc);
        ReleaseEngine();
        window = RecordingWindow();
        window.Path = "data.txt";
        return y;
    }

    int Fit(const std::vector<SpeciesRow>& species, const std::vector<std::string>& y,
            const std::string& weight = "1") {
        EXPECT_EQ(Read(ComplexFile(species, y, weight)), 0) << m.StatusText;
        FitParameters(m, context);
        return m.StatusCode;
    }

    static std::vector<std::string> Spelled(const std::vector<double>& y) {
        std::vector<std::string> text;
        for (double v : y)
            text.push_back(Value(v));
        return text;
    }
};

TEST_F(FitTest, RecoversTheTruthWithoutNoise) {
    const std::vector<std::string> y = Spelled(TrueY());
    ASSERT_EQ(Fit(kBothFree, y), 0) << m.StatusText;
    EXPECT_NEAR(m.SpeciesValue[3], kTrueNaCl, 2e-3);
    EXPECT_NEAR(m.SpeciesValue[4], kTrueNaCl2, 2e-3);
    EXPECT_EQ(m.SpeciesValue[1], -261.881f) << "fixed species stay";
    EXPECT_GT(m.InitialSumOfSquares, 0.1f);
    EXPECT_LT(m.ResultSumOfSquares, 1e-10f);
    EXPECT_GT(m.SpeciesInterval[3], 0.0f);
    EXPECT_EQ(m.SpeciesInterval[1], 0.0f);
    for (int k = 1; k <= m.SampleCount; ++k) {
        EXPECT_NEAR(m.Samples[k].Error, 0.0f, 1e-5f);
        EXPECT_NEAR(m.Samples[k].XFixed, std::log10(kChlorideMolal[k - 1] + 0.001), 1e-5)
            << "a computed X axis is recorded";
    }

    // What the window saw, in order.
    ASSERT_GE(window.Captions.size(), 6u);
    const auto& c = window.Captions;
    EXPECT_EQ((Lines{c[0], c[1], c[2].substr(0, 28), c[3].substr(0, 23), c.end()[-2], c.back()}),
              (Lines{"Reading data file...", "Initial estimating...",
                     "Initial data set.    Error: ", "Iteration:1,    Error: ",
                     "Preparing optimized parameters...", "Calculating confidence intervals..."}));
    EXPECT_EQ(window.RectanglesDrawn, 8) << "2 n² passes when no step has to grow";
    EXPECT_TRUE(window.Rectangles.empty()) << "the exit clears the bar";
    EXPECT_EQ(window.PausedMilliseconds, 500);
}

// Y linear in one species value: S = S_R + a (x − x*)², so the half-width is sqrt(3.841 / a).
TEST_F(FitTest, QuadraticMisfitGivesTheExactHalfWidth) {
    script.Law = [](Equilibrium& e) {
        (*e.Amounts)[kSolvent] = 55.50843;
        e.SetMolal(kChloride, e.Element(4));
        e.SetLog10Activity(kSodium, e.Element(4) * e.Value(kNaClComplex) / 100);
    };
    std::vector<std::string> y;
    double a = 0;
    for (double molal : kChlorideMolal) {
        // Chloride of the sample: from HCl and from the 0.001 mol NaCl.
        const double cl = static_cast<double>(static_cast<float>(molal)) + 0.001f;
        y.push_back(Value(cl * -395.5 / 100));
        a += (cl / 100) * (cl / 100) * 4;  // weight 4
    }
    ASSERT_EQ(Fit({{"NaCl,aq", "-380", "", ""}}, y, "4"), 0) << m.StatusText;
    EXPECT_NEAR(m.SpeciesValue[1], -395.5, 1e-3);
    EXPECT_NEAR(m.SpeciesInterval[1], std::sqrt(3.841 / a), 1e-4 * std::sqrt(3.841 / a));
    // One free species: T = 2, so the bar is half the width after the first pass.
    ASSERT_EQ(window.RectanglesDrawn, 2);
}

TEST_F(FitTest, EngineFailureTextReachesTheStatusUnchanged) {
    const std::vector<std::string> y = Spelled(TrueY());
    const long before = script.Calculations;
    script.FailureText = "Equilibrium not found: Cl mass balance, 250 iterations";
    script.FailFromCalculation = before + 80;  // in the first iteration's pass
    ASSERT_EQ(Fit(kBothFree, y), 1);
    EXPECT_EQ(m.StatusText, "Equilibrium not found: Cl mass balance, 250 iterations");
    // The last point whose every sample was evaluated stands: here the initial one.
    EXPECT_EQ(m.SpeciesValue[3], -388.74f);
    EXPECT_TRUE(window.Rectangles.empty());

    // A failure in the initial pass leaves every species as it was before the run.
    script.FailFromCalculation = script.Calculations + 1;
    EXPECT_EQ(
        Fit({kSodiumRow, kChlorideRow, {"NaCl,aq", "-388.74", "-395", ""}, {"NaCl2-", "", "", ""}},
            y),
        1);
    EXPECT_EQ(m.SpeciesValue[3], -395.0f);
    EXPECT_EQ(m.SpeciesValue[4], -516.0f);
    EXPECT_EQ(m.SpeciesInterval[3], 0.0f);
}

TEST_F(FitTest, FaultsInAPassEndTheRunInOrder) {
    struct Case {
        const char* what;
        EquilibriumLaw law;
        const char* sampleLine;
        std::string expected;
    };
    const Case cases[] = {
        {"activity that is not a number",
         [](Equilibrium& e) {
             ComplexationLaw(e);
             (*e.LnActivities)[kSodium] = std::nan("");
         },
         nullptr, "invalid a(Na+) value"},
        {"species absent",
         [](Equilibrium& e) {
             ComplexationLaw(e);
             (*e.Amounts)[kSodium] = 0;
         },
         nullptr, "invalid a(Na+) value"},
        {"element absent from the solution",
         [](Equilibrium& e) {
             ComplexationLaw(e);
             for (auto p : {kChloride, kNaClComplex, kNaCl2Complex})
                 (*e.Amounts)[p] = 0;
         },
         nullptr, "invalid m(Cl) value"},
        {"overflowing p.m.c. activity", ComplexationLaw, "c1\t1e30\t0.001\t0.5\t1\t\t-3",
         "calculation failed at sample c1: exp("},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        script.Law = c.law;
        Lines lines = ComplexFile({kChlorideRow, {"NaCl,aq", "", "", ""}}, {"-3", "-3.2"});
        if (c.sampleLine != nullptr) {
            // O2,g fixed, H2O given per sample; one sample.
            lines[6] = "P.m.c.:\t1\tPotential";
            lines.erase(lines.begin() + 8);
            lines[15] = "Sample\tH2O\tNaCl\tHCl\tWeight\tX\tY (exp)\tY (calc)\terror\textras";
            lines[16] = c.sampleLine;
            lines.erase(lines.begin() + 17);
        }
        ASSERT_EQ(Read(lines), 0) << m.StatusText;
        FitParameters(m, context);
        EXPECT_EQ(m.StatusCode, 1);
        EXPECT_EQ(m.StatusText.rfind(c.expected, 0), 0u) << m.StatusText;
        for (int k = 1; k <= m.SampleCount; ++k) {
            EXPECT_TRUE(std::isfinite(m.Samples[k].YCalc));
            EXPECT_TRUE(std::isfinite(m.Samples[k].Error));
        }
        EXPECT_TRUE(std::isfinite(m.SpeciesValue[2]));
    }
}

TEST_F(FitTest, AllWeightsZeroEndsWithAMessage) {
    EXPECT_EQ(Fit({{"NaCl,aq", "", "", ""}}, {"-3", "-3.1"}, "0"), 1);
    EXPECT_EQ(m.StatusText, "every sample has weight 0, so there is nothing to fit");
    EXPECT_EQ(script.Calculations, 0);
}

TEST_F(FitTest, SpeciesTheDataDoNotSeeGetsNoInterval) {
    // HCl,aq reacts only above 2000 kJ/mol: a previous half-width of 20000 lets the
    // derivatives see it, while the Hessian's steps (up to 1024) never do.
    const std::vector<std::string> y = Spelled(TrueY());
    // clang-format off
    const std::vector<SpeciesRow> species = {kSodiumRow, kChlorideRow, {"HCl,aq", "", "", "20000"},
                                             {"NaCl,aq", "", "", ""}, {"NaCl2-", "", "", ""}};
    // clang-format on
    ASSERT_EQ(Fit(species, y), 0) << m.StatusText;
    EXPECT_NEAR(m.SpeciesValue[4], kTrueNaCl, 0.01);
    EXPECT_EQ(
        window.Messages,
        (Shown{{"Could not invert Hessian  ", MessageButtons::Ok, MessageIcon::Exclamation}}));
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(m.SpeciesInterval[i], 0.0f);
    EXPECT_EQ(window.PausedMilliseconds, 0) << "no pause after a failed inversion";
}

TEST_F(FitTest, HessianGivesHalfWidthsCorrelationAndFlags) {
    // Q = χ²₉₅(2) · 2 widens the half-widths sqrt(2 (H⁻¹)_pp Q).
    const double q = 2 * static_cast<double>(ChiSquare95(2));
    struct Case {
        double h11, h12, h22;
        const char* warning;             // the message shown, or null
        double r12;                      // by hand from H⁻¹; NaN: no correlation
        std::vector<std::string> flags;  // in the summary
    };
    const std::string correlated =
        "NaCl,aq and NaCl2- are strongly correlated (r = \xE2\x88\x92"
        "0.98): the data determine their combination better than each";
    const Case cases[] = {
        // (1 2; 2 1)⁻¹ = (−1/3 2/3; 2/3 −1/3): not a minimum, so no intervals at all.
        {1, 2, 1, "Could not estimate intervals  ", std::nan(""), {}},
        // (4 2; 2 3)⁻¹ = (3 −2; −2 4) / 8: r = −2 / sqrt(12).
        {4, 2, 3, nullptr, -2 / std::sqrt(12.0), {}},
        // (1 .98; .98 1)⁻¹ = (1 −.98; −.98 1) / .0396: r = −0.98, half-widths near 24.6.
        // clang-format off
        {1, 0.98, 1, nullptr, -0.98,
         {correlated, "NaCl,aq is poorly determined (\xC2\xB1 24.6 kJ/mol)",
          "NaCl2- is poorly determined (\xC2\xB1 24.6 kJ/mol)"}},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.h12);
        ASSERT_EQ(Read(ComplexFile({{"NaCl,aq", "", "", ""}, {"NaCl2-", "", "", ""}}, {"-3"})), 0);
        window.Messages.clear();
        window.PausedMilliseconds = 0;
        m.NormalMatrix(1, 1) = c.h11;
        m.NormalMatrix(1, 2) = m.NormalMatrix(2, 1) = c.h12;
        m.NormalMatrix(2, 2) = c.h22;
        m.SpeciesInterval[1] = 5;
        const double det = c.h11 * c.h22 - c.h12 * c.h12;
        FitSummary s;
        s.Correlation = EstimateHalfWidths(m, context);
        FillFitSummary(s, m, 0, 0);
        if (c.warning != nullptr) {
            ASSERT_EQ(window.Messages.size(), 1u);
            EXPECT_EQ(window.Messages[0].Text, c.warning);
            EXPECT_EQ(std::tuple(m.SpeciesInterval[1], m.SpeciesInterval[2], s.Correlation.empty()),
                      std::tuple(0.0f, 0.0f, true));
        } else {
            EXPECT_TRUE(window.Messages.empty());
            EXPECT_NEAR(m.SpeciesInterval[1], std::sqrt(2 * c.h22 / det * q), 1e-4);
            EXPECT_NEAR(m.SpeciesInterval[2], std::sqrt(2 * c.h11 / det * q), 1e-4);
            ASSERT_EQ(s.Correlation.size(), 2u);
            EXPECT_NEAR(s.Correlation[0][1], c.r12, 1e-12);
            EXPECT_NEAR(s.Correlation[1][0], c.r12, 1e-12);
            EXPECT_EQ(s.Correlation[0][0], 1.0);
        }
        EXPECT_EQ(s.Flags, c.flags);
        EXPECT_EQ(window.PausedMilliseconds, 500);
    }
}

TEST_F(FitTest, StalledIterationNamesTheSpeciesTheDataDoNotDetermine) {
    // Y = x² against −1: every Gauss–Newton step overshoots the minimum at 0, so the steps
    // never become insignificant while the smallest error stops improving.
    script.Law = [](Equilibrium& e) {
        (*e.Amounts)[kSolvent] = 55.50843;
        e.SetMolal(kChloride, e.Element(4));
        const double x = e.Value(kNaClComplex);
        e.SetLog10Activity(kSodium, x * x);
    };
    ASSERT_EQ(Read(ComplexFile({kChlorideRow, {"NaCl,aq", "1", "", ""}}, {"-1"})), 0);
    FitParameters(m, context);
    EXPECT_EQ(m.StatusCode, 1);
    const std::string& text = m.StatusText;
    EXPECT_EQ(text.rfind("the data do not determine NaCl,aq: it drifted from ", 0), 0u) << text;
    EXPECT_NE(text.find(" kJ/mol without changing the error; fix its value or add samples that "
                        "depend on it"),
              std::string::npos)
        << text;
    const std::string& last = window.Captions.back();
    ASSERT_EQ(last.rfind("Iteration:", 0), 0u) << last;
    EXPECT_LT(std::stoi(last.substr(10)), 1000) << last;
    EXPECT_TRUE(std::isfinite(m.SpeciesValue[2]));
}

}  // namespace
}  // namespace varsel::test
