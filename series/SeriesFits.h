// The fits of a series: each file alone, and the parameters of the species by either method.
//
// One-step: S(θ) = Σ_files Σ_samples w (Ycalc − Yexp)², where each file's free species take
// the standard potentials G_fs(θ) at its T and P. By the chain rule
//   ∂Ycalc_k/∂θ_j = Σ_s (∂Ycalc_k/∂G_fs) (∂G_fs/∂θ_j),
// the first factor from the file's own derivatives (Problem::Evaluate), the second from the
// HKF equations (engine/thermo/HkfSensitivity.h). Levenberg–Marquardt over all samples.
//
// Two-step: each file fitted alone gives values v_f with the normal matrix N_f = J_fᵀWJ_f
// (the inverse of their covariance); then θ minimises χ² = Σ_f (G_f(θ) − v_f)ᵀ N_f (G_f(θ) − v_f),
// whose minimum, on Σ n_f − n degrees of freedom, tests whether the files agree with each
// other and with the equations.
//
// Either way the covariance of θ is the inverse of the normal matrix at the minimum.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "series/Matrix.h"
#include "series/SeriesModel.h"

namespace varsel::series {

class FileTasks;

/// What one file's fit alone gave.
struct OwnFit {
    std::string Outcome;         ///< why it failed, else empty
    std::vector<double> Values;  ///< kJ/mol, for each free species of the file
    Matrix Normal;               ///< J_fᵀWJ_f at Values, (kJ/mol)⁻²
    Matrix Covariance;           ///< its inverse
    bool Fitted() const { return Outcome.empty(); }
};

/// Fits every file alone, on threads, posting a line per file. Throws Stopped.
std::vector<OwnFit> FitFilesAlone(Model& model, FileTasks& tasks, const StopToken& stop);

struct SeriesFit {
    std::string Failure;  ///< why the fit failed, else empty
    std::vector<double> Theta;
    Matrix Covariance;
    double ChiSquare = 0;
    int DegreesOfFreedom = 0;
    int Iterations = 0;
};

/// The one-step fit from the database's values. Throws Stopped.
SeriesFit FitOneStep(Model& model, FileTasks& tasks, const StopToken& stop);

/// The two-step fit from the files' own fits (every one must have succeeded). Throws Stopped.
SeriesFit FitTwoStep(const Model& model, const std::vector<OwnFit>& own, FileTasks& tasks,
                     const StopToken& stop);

/// Evaluates every file at θ so that its samples hold Y (calc) and the errors of the series'
/// parameters. Throws SeriesError naming a file that cannot be evaluated, Stopped.
void EvaluateAt(Model& model, const std::vector<double>& theta, FileTasks& tasks,
                const StopToken& stop);

}  // namespace varsel::series
