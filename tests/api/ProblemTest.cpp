// The public API on the shipped examples with Varsel's engine: several problems fitted on two
// threads at once give, number for number and byte for byte, what one thread gives; a copy of
// a problem evaluates and fits as the original does; a file that cannot be read says why.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/TempFolder.h"
#include "varsel/Problem.h"

namespace varsel::test {
namespace {

namespace fs = std::filesystem;

const char* const kExamples[] = {"agcl.txt", "nacl.txt", "quartz.txt", "halite.txt"};

// Everything a fit gives that does not depend on the clock, and the file it wrote.
struct Outcome {
    FitSummary Summary;
    std::vector<std::string> Messages;
    std::string Written;
};

bool operator==(const Outcome& a, const Outcome& b) {
    const FitSummary& s = a.Summary;
    const FitSummary& t = b.Summary;
    return s.Succeeded == t.Succeeded && s.Outcome == t.Outcome && s.Species == t.Species &&
           s.Correlation == t.Correlation && s.MeanErrorBefore == t.MeanErrorBefore &&
           s.MeanErrorAfter == t.MeanErrorAfter && s.Iterations == t.Iterations &&
           s.EngineCalculations == t.EngineCalculations && s.Samples == t.Samples &&
           s.Flags == t.Flags && a.Messages == b.Messages && a.Written == b.Written;
}

// Reads, fits and saves a fresh copy of an example in `folder`.
Outcome FitCopy(const TempFolder& folder, const std::string& name) {
    const fs::path copy =
        folder.Write(name, FileBytes(fs::path(VARSEL_EXAMPLES_DIR) / name));
    Problem problem = Problem::Open(copy.string());
    FitOptions options;
    options.Save = true;
    FitResult result = problem.Fit(options);
    EXPECT_TRUE(result.Saved) << name << ": " << result.Summary.Outcome;
    return {std::move(result.Summary), std::move(result.Messages), folder.Read(name)};
}

TEST(ProblemTest, FitsOnTwoThreadsEqualFitsOnOne) {
    TempFolder one;
    std::vector<Outcome> sequential;
    for (const char* name : kExamples)
        sequential.push_back(FitCopy(one, name));
    ASSERT_TRUE(sequential[0].Summary.Succeeded) << sequential[0].Summary.Outcome;

    for (int round = 0; round < 2; ++round) {
        TempFolder left, right;
        std::vector<Outcome> parallel(std::size(kExamples));
        // Two threads, each taking every other example, so that different files overlap.
        std::thread second([&] {
            for (std::size_t i = 1; i < parallel.size(); i += 2)
                parallel[i] = FitCopy(right, kExamples[i]);
        });
        for (std::size_t i = 0; i < parallel.size(); i += 2)
            parallel[i] = FitCopy(left, kExamples[i]);
        second.join();
        for (std::size_t i = 0; i < parallel.size(); ++i)
            EXPECT_TRUE(parallel[i] == sequential[i]) << "round " << round << ": " << kExamples[i];
    }
}

TEST(ProblemTest, ACopyEvaluatesAndFitsAsTheOriginal) {
    Problem original = Problem::Open(std::string(VARSEL_EXAMPLES_DIR) + "/agcl.txt");
    const FitResult fitted = original.Fit();
    ASSERT_TRUE(fitted.Summary.Succeeded);
    std::vector<double> values;
    for (const FittedValue& v : fitted.Summary.Species)
        values.push_back(v.Value);

    // At the values found, the misfit is the fit's own: S / Σw is the mean error squared.
    Problem copy = original.Clone();
    double weights = 0;
    for (const SamplePoint& p : copy.Samples())
        weights += p.Weight;
    const Evaluation at = copy.Evaluate(values, true);
    EXPECT_NEAR(std::sqrt(at.SumOfSquares / weights), fitted.Summary.MeanErrorAfter, 1e-6);
    ASSERT_EQ(at.Jacobian.size(), values.size());
    for (std::size_t k = 0; k < at.YCalc.size(); ++k)
        EXPECT_NEAR(at.YCalc[k], fitted.Summary.Samples[k].YCalc, 1e-6);

    // Holding one species at a value away from the optimum, the others refitted, gives a
    // larger misfit; the original stays as it was.
    const SpeciesEntry held = copy.Species()[0];
    ASSERT_EQ(held.Name, "AgCl,aq");
    copy.SetSpecies(0, held.Initial, values[0] + 2.0, false);
    FitOptions quick;
    quick.Intervals = false;
    const FitResult refit = copy.Fit(quick);
    ASSERT_TRUE(refit.Summary.Succeeded) << refit.Summary.Outcome;
    EXPECT_EQ(refit.Summary.Species.size(), values.size() - 1);
    EXPECT_GT(refit.Summary.MeanErrorAfter, fitted.Summary.MeanErrorAfter);
    EXPECT_TRUE(original.Species()[0].Free);
}

TEST(ProblemTest, AFileThatCannotBeReadSaysWhy) {
    TempFolder folder;
    struct Case {
        std::string path;
        OpenError::Kind kind;
        int error;
        std::string message;
    };
    folder.Write("damaged.txt", "Title\r\nDatabase:\tthermo\r\nSystem\tnacl\r\n");
    fs::create_directory(folder.Path() / "folder.txt");
    const std::string missing = (folder.Path() / "missing.txt").string();
    const std::string directory = (folder.Path() / "folder.txt").string();
    const Case cases[] = {
        {missing, OpenError::Kind::File, ENOENT,
         "could not open the file: " + missing + ": No such file or directory"},
        {directory, OpenError::Kind::File, EISDIR,
         "could not open the file: " + directory + ": Is a directory"},
        {(folder.Path() / "damaged.txt").string(), OpenError::Kind::Content, 0,
         "incorrect keyword (row=3, col=1)"},
    };
    for (const Case& c : cases) {
        try {
            Problem::Open(c.path);
            ADD_FAILURE() << c.path << " was read";
        } catch (const OpenError& error) {
            EXPECT_EQ(error.What(), c.kind) << c.path;
            EXPECT_EQ(error.SystemError(), c.error) << c.path;
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace varsel::test
