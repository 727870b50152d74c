#include "engine/thermo/StandardGibbs.h"

#include <cmath>

#include "engine/thermo/HkfEstimate.h"
#include "engine/thermo/MaierKelley.h"
#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

namespace {

std::optional<double> Finite(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::string MissingData(const SpeciesRecord& record) {
    if (record.Role != SpeciesRole::Ordinary || record.Kind == SpeciesKind::Water) return {};
    if (!record.G) return "no standard Gibbs energy of formation";
    if (!record.S) return "no standard entropy";
    switch (record.Kind) {
        case SpeciesKind::Aqueous: {
            if (record.Hkf) return {};
            std::string why;
            if (!EstimateHkf(record, &why)) return "HKF parameters cannot be estimated: " + why;
            return {};
        }
        case SpeciesKind::Mineral:
            if (!record.V) return "no standard volume";
            [[fallthrough]];
        case SpeciesKind::Gas:
            if (record.HeatCapacities.empty()) return "no heat capacity coefficients";
            if (record.Kind == SpeciesKind::Mineral &&
                record.HeatCapacities.size() != record.Transitions.size() + 1)
                return "the heat capacities do not match the phase transitions";
            return {};
        case SpeciesKind::Water:
            return {};
    }
    return "unknown kind of substance";
}

std::optional<double> AqueousGibbs(const SpeciesRecord& record, const HkfWater& water) {
    if (!record.G || !record.S) return std::nullopt;
    if (record.Hkf)
        return Finite(HkfGibbs(*record.Hkf, record.Charge(), *record.G, *record.S, water));
    const std::optional<HkfParameters> estimate = EstimateHkf(record);
    if (!estimate) return std::nullopt;
    return Finite(HkfGibbs(*estimate, record.Charge(), *record.G, *record.S, water));
}

std::optional<double> StandardGibbs(const SpeciesRecord& record, const SolventState& solvent) {
    switch (record.Role) {
        case SpeciesRole::Proton:
            return 0.0;
        case SpeciesRole::Solvent:
        case SpeciesRole::WaterSubstance:
            return Finite(solvent.WaterGibbs);
        case SpeciesRole::Hydroxide:
            // H2O = H+ + OH-: G(OH-) = G(H2O) − RT ln Kw, with G(H+) = 0.
            return Finite(solvent.WaterGibbs -
                          kGasConstant * solvent.Temperature * kLn10 * solvent.LogKw);
        case SpeciesRole::Ordinary:
            break;
    }
    if (!MissingData(record).empty()) return std::nullopt;
    switch (record.Kind) {
        case SpeciesKind::Aqueous: {
            HkfWater water{solvent.Temperature, solvent.Pressure, solvent.Epsilon, solvent.G,
                           solvent.Reference};
            return AqueousGibbs(record, water);
        }
        case SpeciesKind::Mineral:
            return Finite(MineralGibbs(record, solvent.Temperature, solvent.Pressure));
        case SpeciesKind::Gas:
            return Finite(GasGibbs(record, solvent.Temperature));
        case SpeciesKind::Water:
            return Finite(solvent.WaterGibbs);
    }
    return std::nullopt;
}

}  // namespace varsel::engine::thermo
