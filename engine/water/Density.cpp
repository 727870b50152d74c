// Density from temperature and pressure: Newton's method on P(ρ) = P along one isotherm,
// safeguarded by a bracket that every evaluation narrows, with bisection whenever a Newton
// step would leave the bracket. Which branch of the isotherm holds the wanted root is decided
// first, and the bracket is chosen so that it holds no other rising part of the isotherm:
// - above the critical temperature the isotherm rises monotonically (one root);
// - below it, between the two spinodals, IAPWS-95 is not only unstable ((∂P/∂ρ)_T ≤ 0) but
//   also has spurious rising loops at about 0.87 to 1.25 ρc (up to 640 K) with pressures far
//   above any physical value. The liquid search therefore starts halfway between ρc and the
//   saturated liquid, which lies between those loops and the liquid spinodal at every
//   temperature; the vapour search ends at 0.85 ρc, above the vapour spinodal and below the
//   loops (at ρc from 645 K on, where the loops are gone). A point where (∂P/∂ρ)_T ≤ 0 lies
//   between the spinodals, so it bounds the search from the correct side.
#include <cmath>

#include "engine/water/Failure.h"
#include "engine/water/Helmholtz.h"
#include "engine/water/Iapws95.h"
#include "engine/water/SaturationCurve.h"

namespace varsel::engine::water {
namespace {

using detail::kSpecificGasConstant;

// Upper bound of every search. Up to it every isotherm of the accepted temperatures rises
// monotonically on its liquid or fluid branch, and the pressure there exceeds 4 GPa, four
// times kMaximumPressure (at 250 K IAPWS-95 turns over only near 2200 kg/m³ and 13 GPa).
constexpr double kMaximumDensity = 1600.0;
// Below the critical temperature, a pressure this close (relative) to the auxiliary
// saturation pressure is compared with the exact IAPWS-95 one to pick the phase. The
// auxiliary equation is within 1e-5 above 273 K and within 2e-3 down to 250 K.
constexpr double kSaturationMargin = 1e-2;
// From this temperature (K) up to the critical point the unstable part of the isotherms holds
// no spurious rising loop.
constexpr double kLoopFreeTemperature = 645.0;

enum class Branch { Liquid, Vapour, Fluid };

const char* BranchName(Branch branch) {
    switch (branch) {
        case Branch::Liquid:
            return "liquid";
        case Branch::Vapour:
            return "vapour";
        case Branch::Fluid:
            break;
    }
    return "fluid";
}

double Middle(double lo, double hi) {
    if (lo > 0 && hi > 4 * lo) return std::sqrt(lo * hi);  // wide brackets: halve in log ρ
    return 0.5 * (lo + hi);
}

double SolveOnBranch(double temperature, double pressure, Branch branch, double lo, double hi,
                     double guess) {
    const detail::ResidualIsotherm iso(kCriticalTemperature / temperature);
    const double RT = kSpecificGasConstant * temperature;
    // Whether a bound was set by a point on the wanted branch (rather than by the initial
    // limits or by an unstable point beyond the spinodal).
    bool loOnBranch = false, hiOnBranch = false;
    double rho = guess;
    for (int iteration = 0; iteration < 200; ++iteration) {
        const double delta = rho / kCriticalDensity;
        const detail::ReducedHelmholtz r = iso.At(delta);
        const double p = rho * RT * (1 + delta * r.d);  // P = ρRT(1 + δφʳ_δ)
        const double slope = RT * (1 + 2 * delta * r.d + delta * delta * r.dd);  // (∂P/∂ρ)_T
        const bool rising = slope > 0 && std::isfinite(p) && std::isfinite(slope);

        double next = rising ? rho - (p - pressure) / slope : rho;
        if (rising && branch == Branch::Liquid) {
            // A liquid stiffens as it is compressed; Newton's method on ρ^n, which is nearly
            // linear in P (the Tait-Murnaghan form, n ≈ 7 for water), takes the first long step
            // from the saturated liquid much closer to the root.
            constexpr double n = 7;
            const double linear = 1 - n * (p - pressure) / (rho * slope);
            if (linear > 0.05) next = rho * std::pow(linear, 1 / n);
        }
        // Newton converges quadratically: after a step of 1e-10 the error is far below 1e-15.
        if (rising && std::abs(next - rho) <= 1e-10 * rho) return next;

        // Narrow the bracket: which side of the wanted root is this point on?
        const bool below = branch == Branch::Liquid   ? (!rising || p < pressure)
                           : branch == Branch::Vapour ? (rising && p < pressure)
                                                      : p < pressure;
        if (below) {
            lo = rho;
            loOnBranch = rising;
        } else {
            hi = rho;
            hiOnBranch = rising;
        }
        if (!(rising && next > lo && next < hi)) next = Middle(lo, hi);
        if (next <= lo || next >= hi) {
            // The bracket cannot shrink any more. With rising points on both sides a root lies
            // between them (convergence by bisection, as at the critical point, where the slope
            // vanishes); otherwise this branch has no root: the pressure is beyond its spinodal
            // or beyond the range of the equation.
            if (loOnBranch && hiOnBranch) return 0.5 * (lo + hi);
            detail::Fail("water density: no " + std::string(BranchName(branch)) +
                         " root of the equation of state at " +
                         detail::AtState(temperature, pressure) +
                         (hiOnBranch || loOnBranch ? " (beyond the spinodal)"
                                                   : " (outside the range of the equation)"));
        }
        rho = next;
    }
    detail::Fail("water density: no convergence at " + detail::AtState(temperature, pressure));
}

}  // namespace

double Density(double temperature, double pressure, Phase phase) {
    if (!(temperature >= kMinimumTemperature && temperature <= kMaximumTemperature))
        detail::Fail("water density: temperature outside " + detail::Show(kMinimumTemperature) +
                     " to " + detail::Show(kMaximumTemperature) + " K at " +
                     detail::AtState(temperature, pressure));
    if (!(pressure > 0 && pressure <= kMaximumPressure))
        detail::Fail("water density: pressure outside 0 to " + detail::Show(kMaximumPressure) +
                     " Pa at " + detail::AtState(temperature, pressure));

    const double idealGas = pressure / (kSpecificGasConstant * temperature);
    if (temperature >= kCriticalTemperature) {
        // Supercritical: start from the ideal gas when it is dilute, else from a dense guess.
        const double guess = idealGas < 0.5 * kCriticalDensity ? idealGas : 2 * kCriticalDensity;
        return SolveOnBranch(temperature, pressure, Branch::Fluid, 0, kMaximumDensity, guess);
    }

    Branch branch = phase == Phase::Vapour ? Branch::Vapour : Branch::Liquid;
    if (phase == Phase::Stable) {
        double saturation = detail::AuxiliarySaturationPressure(temperature);
        if (std::abs(pressure - saturation) <= kSaturationMargin * saturation)
            saturation = detail::SolveSaturation(temperature).Pressure;
        branch = pressure >= saturation ? Branch::Liquid : Branch::Vapour;
    }
    if (branch == Branch::Liquid) {
        const double saturatedLiquid = detail::AuxiliaryLiquidDensity(temperature);
        return SolveOnBranch(temperature, pressure, Branch::Liquid,
                             0.5 * (kCriticalDensity + saturatedLiquid), kMaximumDensity,
                             saturatedLiquid);
    }
    const double top =
        temperature < kLoopFreeTemperature ? 0.85 * kCriticalDensity : kCriticalDensity;
    const double saturatedVapour = detail::AuxiliaryVapourDensity(temperature);
    const double guess = idealGas < saturatedVapour ? idealGas : saturatedVapour;
    return SolveOnBranch(temperature, pressure, Branch::Vapour, 0, top,
                         guess < top ? guess : 0.5 * top);
}

}  // namespace varsel::engine::water
