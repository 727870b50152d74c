// What a run learned about its fit, kept for the user after the run: the fitted species with
// their 95 % half-widths, the correlation of the fitted species, the mean errors, the effort
// spent and every sample's measured and calculated Y. The window's results view, the command
// line's summary and report files, and the Python module are drawn from it.
//
// The correlation comes from the inverted Hessian C of the interval estimate:
// r_ij = C_ij / sqrt(C_ii C_jj); the scale of C (the weights' variance, the chi-square
// factor) cancels. Two fitted species with |r| >= 0.95 are reported as strongly correlated
// (the data fix their combination better than each), a half-width above 10 kJ/mol as poorly
// determined.
#pragma once

#include <string>
#include <vector>

namespace varsel {

struct FittedValue {
    std::string Name;
    double Value = 0;      ///< standard potential at the run's T and P, kJ/mol
    double HalfWidth = 0;  ///< 95 % half-width, kJ/mol; 0 when it could not be estimated
    bool operator==(const FittedValue&) const = default;
};

/// One sample row with what the fit computed for it. X and Y are as the axes define them
/// (decimal logarithms for a(…) and m(…) axes); Error = YCalc − YExp.
struct SamplePoint {
    std::string Name;
    double X = 0, YExp = 0, YCalc = 0, Error = 0, Weight = 0;
    bool operator==(const SamplePoint&) const = default;
};

/// What an axis of the data file shows.
struct AxisSummary {
    std::string Definition;  ///< as the data file defines it: "m(Cl)", "a(Na+)", "fixed"
    /// What the values are, as an axis title: "log10 m(Cl)", "log10 a(Na+)", or the sample
    /// table's column header for a value given per sample ("X")
    std::string Quantity;
    bool Log10 = false;  ///< the values are decimal logarithms
    bool operator==(const AxisSummary&) const = default;
};

/// The conditions a fit ran at and what the engine was set up with.
struct FitConditions {
    double TemperatureC = 0;
    double PressureBar = 0;
    std::string Database;       ///< as the data file names it
    std::string DatabaseFile;   ///< the file the engine opened, when known
    std::string System;         ///< the System file as the data file names it
    std::string ActivityModel;  ///< "bdot", "hkf81", "pitzer" or "ideal"
    std::string Options;        ///< the options text, without the engine's mode switch
    bool operator==(const FitConditions&) const = default;
};

struct FitSummary {
    bool Filled = false;     ///< the run reached at least its first pass over the samples
    bool Succeeded = false;  ///< the fit ran to its end
    bool NothingToFit = false;
    std::string Outcome;  ///< the failure text of a failed run, else empty
    std::string Title, XAxis, YAxis;
    std::vector<FittedValue> Species;              ///< the free species, in file order
    std::vector<std::vector<double>> Correlation;  ///< empty when no Hessian was inverted
    bool HasWeights = false;                       ///< the weights sum to more than 0
    double MeanErrorBefore = 0;                    ///< sqrt(S / Σw) at the initial values
    double MeanErrorAfter = 0;                     ///< the same at the values found
    bool HasMeanErrorAfter = false;
    int Iterations = 0;
    long EngineCalculations = 0;
    double WallSeconds = 0;
    std::vector<SamplePoint> Samples;
    std::vector<std::string> Flags;  ///< the warnings in words
    std::string DataFile;            ///< the data file's full path
    FitConditions Conditions;
    AxisSummary X, Y;
    std::vector<FittedValue> FixedSpecies;  ///< the species held at their Result, in file order
};

inline constexpr double kStrongCorrelation = 0.95;
inline constexpr double kPoorHalfWidth = 10.0;  // kJ/mol

}  // namespace varsel
