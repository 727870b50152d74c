// The fit on synthetic data made by the scripted engine at known species values: recovery
// from a distant start with and without noise, the half-widths against the truth, the
// exact half-width of a quadratic misfit, the progress shown, and every way a fit ends:
// no free species, a degenerate set, engine failures, arithmetic faults, a species the data
// do not see, weights that are all zero, an iteration that stalls and a stop by the user.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "PipelineFixture.h"
#include "model/Numbers.h"
#include "optim/ConfidenceIntervals.h"
#include "optim/FitDriver.h"
#include "optim/Misfit.h"
#include "services/StopRequest.h"
#include "support/FakeSpreadsheet.h"

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
    Lines lines = {"Complexing series",
                   "Database:\tthermo",
                   "System:\tnacl",
                   "Options:",
                   "T, C:\t25",
                   "P, bar:\t1",
                   "P.m.c.:\t2\tPotential",
                   "\tO2,g\t-10",
                   "\tH2O",
                   "Species:\t" + std::to_string(species.size()) + "\tInitial\tResult\t \xB1"};
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

class FitTest : public PipelineTest {
  protected:
    // Y of every sample at the true values, made by a fit with nothing free.
    std::vector<double> TrueY() {
        const Lines lines = ComplexFile({kSodiumRow,
                                         kChlorideRow,
                                         {"NaCl,aq", Value(kTrueNaCl), Value(kTrueNaCl), ""},
                                         {"NaCl2-", Value(kTrueNaCl2), Value(kTrueNaCl2), ""}},
                                        std::vector<std::string>(kChlorideMolal.size(), "0"));
        EXPECT_EQ(Read(lines), 0) << Model().StatusText;
        FitParameters();
        EXPECT_EQ(Model().StatusCode, 0) << Model().StatusText;
        std::vector<double> y;
        for (int k = 1; k <= Model().SampleCount; ++k)
            y.push_back(Model().Samples[k].YCalc);
        ReleaseEngine();
        window = RecordingWindow();
        window.Path = "data.txt";
        return y;
    }

    // Fits both complexes from the engine's own values (7 and 10 kJ/mol away).
    int FitFromDistantStart(const std::vector<std::string>& y, const std::string& weight) {
        const int read = Read(
            ComplexFile({kSodiumRow, kChlorideRow, {"NaCl,aq", "", "", ""}, {"NaCl2-", "", "", ""}},
                        y, weight));
        EXPECT_EQ(read, 0) << Model().StatusText;
        FitParameters();
        return Model().StatusCode;
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
    ASSERT_EQ(FitFromDistantStart(y, "1"), 0) << Model().StatusText;
    const ProblemModel& m = Model();
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
    EXPECT_EQ(window.Captions[0], "Reading data file...");
    EXPECT_EQ(window.Captions[1], "Initial estimating...");
    EXPECT_EQ(window.Captions[2].rfind("Initial data set.    Error: ", 0), 0u);
    EXPECT_EQ(window.Captions[3].rfind("Iteration:1,    Error: ", 0), 0u);
    const auto n = window.Captions.size();
    EXPECT_EQ(window.Captions[n - 2], "Preparing optimized parameters...");
    EXPECT_EQ(window.Captions[n - 1], "Calculating confidence intervals...");
    EXPECT_EQ(window.RectanglesDrawn, 8) << "2 n² passes when no step has to grow";
    EXPECT_TRUE(window.Rectangles.empty()) << "the exit clears the bar";
    EXPECT_EQ(window.PausedMilliseconds, 500);
}

TEST_F(FitTest, HalfWidthsCoverTheTruthUnderNoise) {
    std::vector<double> y = TrueY();
    std::mt19937 generator(20240601);
    std::normal_distribution<double> noise(0.0, 0.01);
    for (double& v : y)
        v += noise(generator);
    // Weights are inverse variances, so that the half-widths are 95 % intervals.
    ASSERT_EQ(FitFromDistantStart(Spelled(y), "10000"), 0) << Model().StatusText;
    const ProblemModel& m = Model();
    for (auto [species, truth] : {std::pair{3, kTrueNaCl}, std::pair{4, kTrueNaCl2}}) {
        SCOPED_TRACE(species);
        EXPECT_GT(m.SpeciesInterval[species], 0.01f);
        EXPECT_LT(m.SpeciesInterval[species], 2.0f);
        EXPECT_LE(std::fabs(m.SpeciesValue[species] - truth), m.SpeciesInterval[species]);
    }
    // The mean error of the fit is the noise.
    EXPECT_NEAR(std::sqrt(m.ResultSumOfSquares / m.WeightSum), 0.01, 0.005);
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
    ASSERT_EQ(Read(ComplexFile({{"NaCl,aq", "-380", "", ""}}, y, "4")), 0) << Model().StatusText;
    FitParameters();
    ASSERT_EQ(Model().StatusCode, 0) << Model().StatusText;
    EXPECT_NEAR(Model().SpeciesValue[1], -395.5, 1e-3);
    EXPECT_NEAR(Model().SpeciesInterval[1], std::sqrt(3.841 / a), 1e-4 * std::sqrt(3.841 / a));
    // One free species: T = 2, so the bar is half the width after the first pass.
    ASSERT_EQ(window.RectanglesDrawn, 2);
}

TEST_F(FitTest, NothingFreeEvaluatesInitialAndResultValuesOnly) {
    const std::vector<std::string> y = Spelled(TrueY());
    ASSERT_EQ(Read(ComplexFile({kSodiumRow,
                                kChlorideRow,
                                {"NaCl,aq", "-388.74", Value(kTrueNaCl), "0.7"},
                                {"NaCl2-", "-516", Value(kTrueNaCl2), ""}},
                               y)),
              0);
    const long calculations = script.Calculations;
    FitParameters();
    ASSERT_EQ(Model().StatusCode, 0) << Model().StatusText;
    EXPECT_EQ(script.Calculations - calculations, 24) << "one initial and one final pass";
    EXPECT_GT(Model().InitialSumOfSquares, 0.1f) << "the initial values are off";
    EXPECT_LT(Model().ResultSumOfSquares, 1e-10f) << "the Result values are the truth";
    EXPECT_EQ(Model().SpeciesValue[3], static_cast<float>(kTrueNaCl));
    EXPECT_EQ(Model().SpeciesInterval[3], 0.0f);
    for (const std::string& caption : window.Captions)
        EXPECT_EQ(caption.find("Iteration:"), std::string::npos);
    EXPECT_EQ(window.RectanglesDrawn, 0);
    EXPECT_EQ(window.PausedMilliseconds, 0);
}

TEST_F(FitTest, SpeciesThatOnlyShiftTogetherCannotBeSeparated) {
    // Na+ and NaCl,aq enter Y only through their difference once NaCl2- is out of play.
    ASSERT_EQ(Read(ComplexFile({{"Na+", "-261.881", "", ""},
                                kChlorideRow,
                                {"NaCl,aq", "-390", "", ""},
                                {"NaCl2-", "0", "0", ""}},
                               Spelled(std::vector<double>(12, -3.5)))),
              0);
    FitParameters();
    EXPECT_EQ(Model().StatusCode, 1);
    EXPECT_EQ(Model().StatusText, "could not determine the direction");
    EXPECT_EQ(Model().SpeciesValue[1], -261.881f) << "no step was taken";
}

TEST_F(FitTest, EngineFailureTextReachesTheStatusUnchanged) {
    const std::vector<std::string> y = Spelled(TrueY());
    const long before = script.Calculations;
    script.FailureText = "Equilibrium not found: Cl mass balance, 250 iterations";
    script.FailFromCalculation = before + 80;  // in the first iteration's pass
    ASSERT_EQ(FitFromDistantStart(y, "1"), 1);
    EXPECT_EQ(Model().StatusText, "Equilibrium not found: Cl mass balance, 250 iterations");
    EXPECT_NE(Model().SpeciesValue[3], -388.74f) << "the failed step's values are kept";
    EXPECT_TRUE(window.Rectangles.empty());

    // A failure in the initial pass leaves every species as it was before the run.
    script.FailFromCalculation = script.Calculations + 1;
    ASSERT_EQ(
        Read(ComplexFile(
            {kSodiumRow, kChlorideRow, {"NaCl,aq", "-388.74", "-395", ""}, {"NaCl2-", "", "", ""}},
            y)),
        0);
    FitParameters();
    EXPECT_EQ(Model().StatusCode, 1);
    EXPECT_EQ(Model().SpeciesValue[3], -395.0f);
    EXPECT_EQ(Model().SpeciesValue[4], -516.0f);
    EXPECT_EQ(Model().SpeciesInterval[3], 0.0f);
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
        ASSERT_EQ(Read(lines), 0) << Model().StatusText;
        FitParameters();
        EXPECT_EQ(Model().StatusCode, 1);
        EXPECT_EQ(Model().StatusText.rfind(c.expected, 0), 0u) << Model().StatusText;
        for (int k = 1; k <= Model().SampleCount; ++k) {
            EXPECT_TRUE(std::isfinite(Model().Samples[k].YCalc));
            EXPECT_TRUE(std::isfinite(Model().Samples[k].Error));
        }
        EXPECT_TRUE(std::isfinite(Model().SpeciesValue[2]));
    }
}

TEST_F(FitTest, AllWeightsZeroEndsWithAMessage) {
    ASSERT_EQ(Read(ComplexFile({{"NaCl,aq", "", "", ""}}, {"-3", "-3.1"}, "0")), 0);
    FitParameters();
    EXPECT_EQ(Model().StatusCode, 1);
    EXPECT_EQ(Model().StatusText, "every sample has weight 0, so there is nothing to fit");
    EXPECT_EQ(script.Calculations, 0);
}

TEST_F(FitTest, SpeciesTheDataDoNotSeeGetsNoInterval) {
    // HCl,aq reacts only above 2000 kJ/mol: a previous half-width of 20000 lets the
    // derivatives see it, while the Hessian's steps (up to 1024) never do.
    const std::vector<std::string> y = Spelled(TrueY());
    ASSERT_EQ(Read(ComplexFile({kSodiumRow,
                                kChlorideRow,
                                {"HCl,aq", "", "", "20000"},
                                {"NaCl,aq", "", "", ""},
                                {"NaCl2-", "", "", ""}},
                               y)),
              0);
    FitParameters();
    ASSERT_EQ(Model().StatusCode, 0) << Model().StatusText;
    EXPECT_NEAR(Model().SpeciesValue[4], kTrueNaCl, 0.01);
    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].Text, "Could not invert Hessian  ");
    EXPECT_EQ(window.Messages[0].Icon, MessageIcon::Exclamation);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(Model().SpeciesInterval[i], 0.0f);
    EXPECT_EQ(window.PausedMilliseconds, 0) << "no pause after a failed inversion";
}

TEST_F(FitTest, IndefiniteHessianGivesNoIntervalsAtAll) {
    ASSERT_EQ(Read(ComplexFile({{"NaCl,aq", "", "", ""}, {"NaCl2-", "", "", ""}}, {"-3"})), 0);
    // (1 2; 2 1) has the inverse (−1/3 2/3; 2/3 −1/3).
    Model().NormalMatrix(1, 1) = 1;
    Model().NormalMatrix(1, 2) = 2;
    Model().NormalMatrix(2, 1) = 2;
    Model().NormalMatrix(2, 2) = 1;
    Model().SpeciesInterval[1] = 5;
    EstimateHalfWidths();
    ASSERT_EQ(window.Messages.size(), 1u);
    EXPECT_EQ(window.Messages[0].Text, "Could not estimate intervals  ");
    EXPECT_EQ(Model().SpeciesInterval[1], 0.0f);
    EXPECT_EQ(Model().SpeciesInterval[2], 0.0f);
    EXPECT_EQ(window.PausedMilliseconds, 500);
}

TEST_F(FitTest, WorkbookCellsAndStatusBarAreRestoredOnEveryExit) {
    const std::vector<std::string> y = Spelled(TrueY());
    // The text file's model, fitted as if it had come from a workbook.
    auto app = std::make_shared<FakeApp>();
    auto sheet = std::make_shared<FakeSheet>();
    app->displayStatusBar = false;
    // Succeeding, failing in the engine, stopped by the user.
    for (int outcome : {0, 1, 2}) {
        SCOPED_TRACE(outcome);
        const bool fail = outcome != 0;
        ASSERT_EQ(
            Read(ComplexFile(
                {kSodiumRow, kChlorideRow, {"NaCl,aq", "", "", ""}, {"NaCl2-", "", "", ""}}, y)),
            0);
        Model().IsWorkbook = true;
        Model().ExcelApp = app;
        Model().DataSheet = sheet;
        app->settings.clear();
        sheet->numbers.clear();
        script.FailFromCalculation = outcome == 1 ? script.Calculations + 100 : 0;
        const long stopAt = script.Calculations + 100;
        script.Law = [this, outcome, stopAt](Equilibrium& e) {
            if (outcome == 2 && script.Calculations == stopAt) RequestStop();
            ComplexationLaw(e);
        };
        FitParameters();
        ClearStopRequest();
        EXPECT_EQ(Model().StatusCode, fail ? 1 : 0);
        if (outcome == 2) {
            EXPECT_EQ(Model().StatusText, "stopped by the user");
        }
        ASSERT_GE(app->settings.size(), 6u);
        EXPECT_EQ(app->settings[0], "StatusBar=Optimizing...");
        EXPECT_EQ(app->settings[1], "Interactive=False");
        const std::vector<std::string> restored(app->settings.end() - 4, app->settings.end());
        EXPECT_EQ(restored,
                  (std::vector<std::string>{"ScreenUpdating=True", "Interactive=True",
                                            "StatusBar=False", "DisplayStatusBar=False"}));
        // Rows: species 11 .. 14, mean errors 15, samples from 20.
        EXPECT_EQ(sheet->numbers.at({11, 4}), -261.881f) << "fixed species after the first pass";
        EXPECT_TRUE(sheet->numbers.count({15, 3})) << "initial mean error";
        EXPECT_TRUE(sheet->numbers.count({20, 7})) << "Y (calc) of the first sample";
        EXPECT_EQ(sheet->numbers.count({13, 5}), fail ? 0u : 1u) << "half-width of NaCl,aq";
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
    FitParameters();
    EXPECT_EQ(Model().StatusCode, 1);
    EXPECT_EQ(Model().StatusText,
              "the data do not determine NaCl,aq: its value drifts without changing the error");
    const std::string& last = window.Captions.back();
    ASSERT_EQ(last.rfind("Iteration:", 0), 0u) << last;
    EXPECT_LT(std::stoi(last.substr(10)), 1000) << last;
    EXPECT_TRUE(std::isfinite(Model().SpeciesValue[2]));
}

}  // namespace
}  // namespace varsel::test
