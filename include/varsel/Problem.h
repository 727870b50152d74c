// A data file read into a problem that can be fitted, refitted and evaluated without a window:
// the way a program (a test, a benchmark, a resampling, a series of files, the Python module)
// uses Varsel. Each problem has an engine session of its own, so problems may be fitted on
// several threads at once; one problem serves one thread at a time.
//
//   varsel::Problem problem = varsel::Problem::Open("/data/agcl.txt");
//   varsel::FitResult result = problem.Fit();          // the file is left as it was
//   for (const varsel::FittedValue& v : result.Summary.Species)
//       std::printf("%s %g ± %g kJ/mol\n", v.Name.c_str(), v.Value, v.HalfWidth);
//
// Units: temperatures in °C, pressures in bar, species values (standard potentials at the
// problem's T and P) in kJ/mol; X and Y as the file's axes define them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "varsel/FitSummary.h"
#include "varsel/Stop.h"

namespace varsel {

class IEngineFactory;
struct ProblemModel;

/// Why a data file could not be read into a problem.
class OpenError : public std::runtime_error {
  public:
    enum class Kind {
        File,     ///< the file could not be opened (SystemError says why) or is not a text file
        Content,  ///< the file holds something the reader refused (Status says what)
        Engine    ///< the engine refused the database, options or System file the file names
    };
    OpenError(Kind kind, std::int16_t status, int systemError, const std::string& message)
        : std::runtime_error(message), kind_(kind), status_(status), systemError_(systemError) {}
    Kind What() const { return kind_; }
    /// The reader's status code (2 .. 28), 0 when it gave none.
    std::int16_t Status() const { return status_; }
    /// The system's error number when the file could not be opened, else 0.
    int SystemError() const { return systemError_; }

  private:
    Kind kind_;
    std::int16_t status_;
    int systemError_;
};

struct OpenOptions {
    /// Lifts the temperature, pressure and water-density range checks.
    bool IgnoreLimits = false;
    /// The thermodynamic engine; null: Varsel's own. A factory serves one problem at a time,
    /// since the objects it makes while others of it are alive share one session.
    IEngineFactory* Engine = nullptr;
};

/// One species of the problem's species table.
struct SpeciesEntry {
    std::string Name;
    double Initial = 0;  ///< kJ/mol, where the fit starts
    double Value = 0;    ///< kJ/mol: the file's Result of a fixed species, the fit's of a free one
    double HalfWidth = 0;  ///< 95 % half-width, kJ/mol; 0 when none is known
    bool Free = false;     ///< fitted (its Result was empty), else held at Value
    int Row = 0;           ///< the species' row in the data file (1-based)
};

struct FitOptions {
    /// Write the results into the data file after a successful fit.
    bool Save = false;
    /// With Save: write the state reached also after a failed fit.
    bool SaveOnFailure = false;
    /// Estimate the half-widths and the correlation (a Hessian: 2n² passes). A refit that
    /// needs only the values found can leave it out.
    bool Intervals = true;
    /// The status captions a window would show ("Iteration:3,    Error: 0.012345").
    std::function<void(const std::string&)> Progress;
    StopToken Stop;
};

struct FitResult {
    FitSummary Summary;
    bool Saved = false;  ///< the results are in the data file
    /// What a window would have shown, in order (warnings, write failures).
    std::vector<std::string> Messages;
};

/// The misfit at given species values.
struct Evaluation {
    double SumOfSquares = 0;        ///< S = Σ w (Ycalc − Yexp)² over the samples
    std::vector<double> YCalc;      ///< per sample, in file order
    std::vector<double> Residuals;  ///< Ycalc − Yexp, per sample
    /// With derivatives: ∂Ycalc/∂value (per kJ/mol) of every weighted sample, one row per
    /// free species; a row holds 0 for a sample of weight 0.
    std::vector<std::vector<double>> Jacobian;
};

class Problem {
  public:
    /// Reads the text data file at `path` (absolute, or relative to the current folder) and
    /// sets up its engine session. Throws OpenError.
    static Problem Open(const std::string& path, const OpenOptions& options = {});

    Problem(Problem&&) noexcept;
    Problem& operator=(Problem&&) noexcept;
    ~Problem();

    /// A copy with the same data and an engine session of its own (Varsel's engine, or the
    /// factory given), set up as this one's was. Throws OpenError when the engine refuses.
    Problem Clone(IEngineFactory* engine = nullptr) const;

    std::string Path() const;  ///< the data file
    std::string Title() const;
    double TemperatureC() const;
    double PressureBar() const;
    std::string Database() const;
    std::string System() const;
    /// The options text as the file gives it ("/wp /act=pitzer").
    std::string Options() const;
    std::string XAxis() const;  ///< the X axis definition as the file has it
    std::string YAxis() const;

    std::vector<SpeciesEntry> Species() const;
    /// Sets species i (0-based, file order): where a fit starts, its value, and whether it is
    /// fitted. Values are stored as the file stores them (32-bit floats).
    void SetSpecies(int i, double initial, double value, bool free);

    std::vector<SamplePoint> Samples() const;
    /// Sets the measured Y and the weight of sample k (0-based, file order).
    void SetSample(int k, double yExp, double weight);

    /// Evaluates every sample at these values of the free species (kJ/mol, in file order),
    /// which the free species keep afterwards; with `derivatives` also the Jacobian (two more
    /// engine calls per weighted sample and free species). Throws std::runtime_error when a
    /// sample cannot be evaluated or `stop` asks.
    Evaluation Evaluate(const std::vector<double>& freeValues, bool derivatives = false,
                        StopToken stop = {});

    /// Fits the free species from their initial values. Never throws: a failure is in
    /// Summary.Succeeded and Summary.Outcome.
    FitResult Fit(const FitOptions& options = {});

    /// The problem as the core holds it, for code that builds on the core itself.
    ProblemModel& Core();
    const ProblemModel& Core() const;

  private:
    struct State;
    explicit Problem(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace varsel
