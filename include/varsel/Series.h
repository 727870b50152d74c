// Fits of the equation-of-state parameters of aqueous species to a series of data files at
// several temperatures (and pressures): from the samples of every file to ΔfG°, S° and the
// revised-HKF parameters of the species, with their covariance, written as a database entry.
//
// A series file (text, tab-delimited, Latin-1 or UTF-8 like the data files) names them:
//
//   AgCl complexes from 25 to 300 C
//   Database:  thermo
//   Method:    one-step                 (or two-step; one-step when the row is missing)
//   Fit:       AgCl,aq  G  S
//   Fit:       AgCl2-   G  S  c1
//   Output:    agcl-fit.vdb
//   Files:
//   agcl-025.txt
//   ...
//
// The rows up to "Files:" come in any order; the list of files ends at the first empty row.
// Paths are relative to the series file. Each data file has its own T, P, System and
// samples and names the same database; a species on a Fit: row must be free (an empty
// Result) in every file that lists it, and every free species must be on a Fit: row.
//
// Two methods give the same answer: the one-step fit adjusts the parameters to all samples of
// all files at once (each file's standard potentials follow from them at its T and P); the
// two-step fit fits each file alone and then the parameters to the values found, weighted by
// each file's inverse covariance. Half-widths are 95 % marginal ones, 1.96 standard errors of
// the covariance (JᵀWJ)⁻¹ with the weights taken as inverse variances of Y.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "varsel/FitSummary.h"
#include "varsel/Stop.h"

namespace varsel {

enum class SeriesMethod { OneStep, TwoStep };

/// "one-step" or "two-step".
const char* SeriesMethodName(SeriesMethod method);

/// The factor of a standard error that gives a 95 % half-width (the normal quantile).
inline constexpr double kSeriesQuantile95 = 1.959963984540054;

/// One "Fit:" row: a species and the parameters fitted for it.
struct SeriesFitRow {
    std::string Species;
    std::vector<std::string> Parameters;  ///< database keywords: G, S, c1, c2, omega, a1 … a4
    int Row = 0;                          ///< the row in the series file (1-based)
};

/// A series file as read.
struct SeriesFile {
    std::string Path;  ///< the series file
    std::string Title;
    std::string Database;  ///< as the "Database:" row names it
    SeriesMethod Method = SeriesMethod::OneStep;
    std::vector<SeriesFitRow> Fits;
    std::string Output;              ///< the output database, a path
    std::vector<std::string> Files;  ///< the data files, paths, in the listed order
    std::vector<int> FileRows;       ///< the row of each file in the series file
};

/// A series file that cannot be read or a series that is refused before any fit; the message
/// names the file and the row.
class SeriesError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// True when the file at `path` is a series file: a text file with a "Files:" row.
bool IsSeriesFile(const std::string& path);

/// Reads a series file; the paths it names come back resolved against its folder. Throws
/// SeriesError.
SeriesFile ReadSeriesFile(const std::string& path);

struct SeriesOptions {
    /// One line for each step: a file read or fitted, an iteration of the series fit. Always
    /// called on the thread that called RunSeries.
    std::function<void(const std::string&)> Progress;
    /// Called now and then on the calling thread while other threads fit files (a window
    /// processes its events here).
    std::function<void()> Idle;
    StopToken Stop;
    /// Threads that fit files at once; 0: as many as the machine has cores.
    int Threads = 0;
    /// Write the output database and its table after a successful fit.
    bool Write = true;
    /// Lifts the temperature, pressure and water-density range checks of the data files.
    bool IgnoreLimits = false;
};

/// One fitted parameter, in the unit of the database's entries.
struct SeriesParameter {
    std::string Species;
    std::string Name;  ///< "G", "S", "c1", …
    std::string Unit;  ///< "cal/mol", "cal/(mol K)", …
    double Initial = 0;
    double Value = 0;
    double HalfWidth = 0;  ///< 95 %
};

/// One fitted species in one data file.
struct SeriesSpeciesValue {
    std::string Name;
    bool OwnFit = false;         ///< the file's own fit gave a value
    double Value = 0;            ///< the file's own fit, kJ/mol at its T and P
    double HalfWidth = 0;        ///< 95 %, kJ/mol, of the file's own fit
    double Series = 0;           ///< the standard potential from the series' parameters, kJ/mol
    double SeriesHalfWidth = 0;  ///< 95 %, kJ/mol
};

struct SeriesFileResult {
    std::string Name;  ///< as the series file lists it
    double TemperatureC = 0;
    double PressureBar = 0;
    std::string XAxis, YAxis;
    std::string OwnFitOutcome;  ///< why the file's own fit failed, else empty
    std::vector<SeriesSpeciesValue> Species;
    /// Every sample with Y (calc) and its error at the series' parameters.
    std::vector<SamplePoint> Samples;
};

/// The fitted standard potential of one species along the temperatures of its files.
struct SeriesCurve {
    std::string Species;
    std::string Label;  ///< "saturation pressure", "500 bar"
    struct Point {
        double TemperatureC = 0, PressureBar = 0;
        double Value = 0;      ///< kJ/mol
        double HalfWidth = 0;  ///< 95 %, kJ/mol
    };
    std::vector<Point> Points;
};

struct SeriesSummary {
    bool Filled = false;     ///< the series fit reached parameters that can be shown
    bool Succeeded = false;  ///< fitted and, when asked, written
    std::string Outcome;     ///< why the series failed, else empty
    std::string Title, Path;
    SeriesMethod Method = SeriesMethod::OneStep;
    std::vector<SeriesParameter> Parameters;
    std::vector<std::vector<double>> Covariance;  ///< in the parameters' units
    std::vector<std::vector<double>> Correlation;
    /// One-step: the weighted sum of squares over all samples; two-step: the second step's
    /// χ² of the per-file values. With the degrees of freedom and the probability of a χ² as
    /// large, a test of whether the files agree with each other and with the model.
    double ChiSquare = 0;
    int DegreesOfFreedom = 0;
    double Probability = 0;
    std::vector<std::string> Guards;  ///< the rules that applied, in words
    std::vector<std::string> Flags;   ///< warnings on strong correlations and wide intervals
    std::vector<SeriesFileResult> Files;
    std::vector<SeriesCurve> Curves;
    std::string OutputDatabase, OutputTable;  ///< the files written (paths), when written
    int Iterations = 0;
    double WallSeconds = 0;
};

/// Fits the series. Never throws for what the files hold: a refusal or a failure is in
/// Outcome, with the file and the row it concerns.
SeriesSummary RunSeries(const SeriesFile& series, const SeriesOptions& options = {});

}  // namespace varsel
