// The residual bootstrap of a fit: what every replicate shares (the calculated Y at the
// optimum and the shocks to resample), the measured Y of replicate k, its refit, and the
// percentiles of the replicates.
//
// Only samples with weight > 0 take part. With r = Y(calc) − Y(exp), weights w and the
// leverages h = diag(W^½ J (JᵀWJ)⁻¹ Jᵀ W^½) of the weighted Jacobian J at the optimum, the
// shocks are ε = −sqrt(w) r / sqrt(1 − h), centred to mean 0. Dividing by sqrt(1 − h) undoes
// the shrinking of the residuals by the fit itself, so that the replicates scatter as much as
// the data do. Replicate Y: Y*_k = Y(calc)_k + ε_u / sqrt(w_k), u drawn uniformly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "varsel/Problem.h"
#include "varsel/Stop.h"

namespace varsel::uncertainty {

struct BootstrapBase {
    std::vector<int> Samples;                    ///< 0-based indices of the weighted samples
    std::vector<double> YCalc, Weights, Shocks;  ///< per weighted sample
    std::vector<int> FreeSpecies;                ///< 0-based species indices
    std::vector<double> Start;                   ///< the free species at the optimum, kJ/mol
};

/// The base from an evaluation with derivatives at the optimum. Throws std::runtime_error
/// when fewer weighted samples than free species are left or JᵀWJ is singular.
BootstrapBase MakeBase(const Evaluation& atOptimum, const std::vector<SamplePoint>& samples,
                       std::vector<int> freeSpecies, std::vector<double> start);

/// The measured Y of the weighted samples in replicate k of `seed`.
std::vector<double> ReplicateY(const BootstrapBase& base, std::uint64_t seed, std::uint64_t k);

struct Refitted {
    bool Succeeded = false;
    std::vector<double> Values;  ///< the free species, kJ/mol
    std::string Why;             ///< the fit's failure
};

/// Refits `copy` (a copy of the fitted problem) to replicate Y from the optimum, without the
/// Hessian.
Refitted RefitReplicate(Problem& copy, const BootstrapBase& base, const std::vector<double>& y,
                        StopToken stop);

/// The p-quantile (0 ≤ p ≤ 1) of `values` (not empty), interpolated linearly between the
/// order statistics (x_(i) at p = (i − 1)/(m − 1)).
double Percentile(std::vector<double> values, double p);

}  // namespace varsel::uncertainty
