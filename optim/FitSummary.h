// What a run learned about its fit, kept for the user after the run: the fitted species with
// their 95 % half-widths, the correlation of the fitted species, the mean errors, the effort
// spent and every sample's measured and calculated Y. The window's results view and the
// command line's report files are drawn from it.
//
// The correlation comes from the inverted Hessian C of the interval estimate:
// r_ij = C_ij / sqrt(C_ii C_jj); the scale of C (the weights' variance, the chi-square
// factor) cancels. Two fitted species with |r| >= 0.95 are reported as strongly correlated
// (the data fix their combination better than each), a half-width above 10 kJ/mol as poorly
// determined.
#pragma once

#include <string>
#include <vector>

#include "model/Arrays.h"

namespace varsel {

struct ProblemModel;

struct FittedValue {
    std::string Name;
    double Value = 0;      ///< kJ/mol
    double HalfWidth = 0;  ///< 95 % half-width, kJ/mol; 0 when it could not be estimated
};

struct SamplePoint {
    std::string Name;
    double X = 0, YExp = 0, YCalc = 0, Error = 0, Weight = 0;
};

struct FitSummary {
    bool Filled = false;     ///< a run reached at least its first pass
    bool Succeeded = false;  ///< the fit ran to its end
    bool NothingToFit = false;
    std::string Outcome;  ///< the failure text of a failed run, else empty
    std::string Title, XAxis, YAxis;
    std::vector<FittedValue> Species;              ///< the free species, in file order
    std::vector<std::vector<double>> Correlation;  ///< empty when no Hessian was inverted
    double MeanErrorBefore = 0;
    double MeanErrorAfter = 0;
    bool HasMeanErrorAfter = false;
    int Iterations = 0;
    long EngineCalculations = 0;
    double WallSeconds = 0;
    std::vector<SamplePoint> Samples;
    std::vector<std::string> Flags;  ///< the warnings in words
};

inline constexpr double kStrongCorrelation = 0.95;
inline constexpr double kPoorHalfWidth = 10.0;  // kJ/mol

/// The summary of the last run (empty before the first).
FitSummary& LastFitSummary();

/// Correlation matrix of the n×n covariance held in the upper triangle of c(1..n, 1..n). A row with a non-positive
/// diagonal element gives no correlation: the result is then empty.
std::vector<std::vector<double>> CorrelationOf(int n, const Array2<double>& c);

/// The warnings in words for the species, half-widths and correlation of `s`.
std::vector<std::string> FlagsOf(const FitSummary& s);

/// Fills `s` (except Correlation, which the interval estimate sets) from the model as the run
/// left it.
void FillFitSummary(FitSummary& s, const ProblemModel& m, int iterations, double wallSeconds);

/// "Nothing to fit: ..." when the data file fixes every species, else empty.
std::string NothingToFitText(const ProblemModel& m);

}  // namespace varsel
