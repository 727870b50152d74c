#include "uncertainty/Bootstrap.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "uncertainty/ReplicateStream.h"

namespace varsel::uncertainty {

namespace {

// A leverage this close to 1 means the sample is fitted exactly whatever its Y; its
// residual is then 0 and the correction is capped instead of dividing by nearly 0.
constexpr double kLeastFreedom = 1e-6;

// Lower Cholesky factor of the symmetric positive definite matrix a (n × n, row-major);
// false when a is not positive definite.
bool Cholesky(std::vector<double>& a, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        double d = a[j * n + j];
        for (std::size_t k = 0; k < j; ++k)
            d -= a[j * n + k] * a[j * n + k];
        if (!(d > 0)) return false;
        a[j * n + j] = std::sqrt(d);
        for (std::size_t i = j + 1; i < n; ++i) {
            double s = a[i * n + j];
            for (std::size_t k = 0; k < j; ++k)
                s -= a[i * n + k] * a[j * n + k];
            a[i * n + j] = s / a[j * n + j];
        }
    }
    return true;
}

}  // namespace

BootstrapBase MakeBase(const Evaluation& at, const std::vector<SamplePoint>& samples,
                       std::vector<int> freeSpecies, std::vector<double> start) {
    BootstrapBase base;
    base.FreeSpecies = std::move(freeSpecies);
    base.Start = std::move(start);
    const std::size_t n = base.FreeSpecies.size();
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (samples[k].Weight > 0) base.Samples.push_back(static_cast<int>(k));
    }
    const std::size_t count = base.Samples.size();
    if (count <= n) {
        throw std::runtime_error("the bootstrap needs more weighted samples than free species");
    }
    // JᵀWJ, then for every weighted sample h = w jᵀ (JᵀWJ)⁻¹ j = w |L⁻¹ j|².
    std::vector<double> normal(n * n, 0.0);
    for (int k : base.Samples) {
        for (std::size_t p = 0; p < n; ++p)
            for (std::size_t q = 0; q <= p; ++q)
                normal[p * n + q] += samples[k].Weight * at.Jacobian[p][k] * at.Jacobian[q][k];
    }
    if (!Cholesky(normal, n)) {
        throw std::runtime_error(
            "the samples do not determine the free species (JᵀWJ is "
            "singular), so their residuals cannot be resampled");
    }
    double mean = 0;
    for (int k : base.Samples) {
        std::vector<double> z(n);
        double leverage = 0;
        for (std::size_t p = 0; p < n; ++p) {
            double s = at.Jacobian[p][k];
            for (std::size_t q = 0; q < p; ++q)
                s -= normal[p * n + q] * z[q];
            z[p] = s / normal[p * n + p];
            leverage += z[p] * z[p];
        }
        const double w = samples[k].Weight;
        leverage *= w;
        const double shock =
            -std::sqrt(w) * at.Residuals[k] / std::sqrt(std::max(1 - leverage, kLeastFreedom));
        base.YCalc.push_back(at.YCalc[k]);
        base.Weights.push_back(w);
        base.Shocks.push_back(shock);
        mean += shock;
    }
    mean /= static_cast<double>(count);
    for (double& shock : base.Shocks)
        shock -= mean;
    return base;
}

std::vector<double> ReplicateY(const BootstrapBase& base, std::uint64_t seed, std::uint64_t k) {
    ReplicateStream stream(seed, k);
    std::vector<double> y(base.Samples.size());
    for (std::size_t i = 0; i < y.size(); ++i) {
        const double shock = base.Shocks[stream.Index(base.Shocks.size())];
        y[i] = base.YCalc[i] + shock / std::sqrt(base.Weights[i]);
    }
    return y;
}

Refitted RefitReplicate(Problem& copy, const BootstrapBase& base, const std::vector<double>& y,
                        StopToken stop) {
    for (std::size_t i = 0; i < y.size(); ++i)
        copy.SetSample(base.Samples[i], y[i], base.Weights[i]);
    for (std::size_t p = 0; p < base.FreeSpecies.size(); ++p)
        copy.SetSpecies(base.FreeSpecies[p], base.Start[p], base.Start[p], true);
    FitOptions options;
    options.Intervals = false;
    options.Stop = stop;
    const FitResult fit = copy.Fit(options);
    Refitted r;
    r.Succeeded = fit.Summary.Succeeded;
    r.Why = fit.Summary.Outcome;
    if (r.Succeeded) {
        for (const FittedValue& v : fit.Summary.Species)
            r.Values.push_back(v.Value);
    }
    return r;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const double h = p * static_cast<double>(values.size() - 1);
    const auto i = static_cast<std::size_t>(std::floor(h));
    if (i + 1 >= values.size()) return values.back();
    return values[i] + (h - static_cast<double>(i)) * (values[i + 1] - values[i]);
}

}  // namespace varsel::uncertainty
