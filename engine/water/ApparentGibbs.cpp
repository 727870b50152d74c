#include "engine/water/ApparentGibbs.h"

#include "engine/water/Failure.h"
#include "engine/water/Iapws95.h"

namespace varsel::engine::water {
namespace {

// The IAPWS-95 Gibbs energy at 298.15 K and 1 bar (J/mol), computed once.
double ReferenceIapwsGibbs() {
    static const double value =
        StateAt(kReferenceTemperature, Density(kReferenceTemperature, kReferencePressure)).Gibbs;
    return value;
}

}  // namespace

double ApparentGibbs(const WaterState& state) {
    // G(T, P) = ΔfG°r + [H − Hr] − [T S − Tr Sr] with S on the third-law scale. WaterState's
    // Gibbs is H − T S' on the IAPWS-95 entropy scale S' = S − ΔS, so
    // G(T, P) = ΔfG°r + [Gibbs − Gibbs_r] − (T − Tr) ΔS, with ΔS = S(Tr, Pr) − S'(Tr, Pr).
    const double iapwsEntropy = (state.Enthalpy - state.Gibbs) / state.Temperature;
    const double iapwsEntropyShift = state.Entropy - iapwsEntropy;
    const double g = kReferenceGibbs + (state.Gibbs - ReferenceIapwsGibbs()) -
                     (state.Temperature - kReferenceTemperature) * iapwsEntropyShift;
    return detail::CheckFinite("apparent Gibbs energy of water", g, state.Temperature,
                               state.Density);
}

double ApparentGibbs(double temperature, double pressure) {
    return ApparentGibbs(StateAt(temperature, Density(temperature, pressure)));
}

}  // namespace varsel::engine::water
