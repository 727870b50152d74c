#include "engine/thermo/Thermo.h"

#include <cmath>
#include <optional>

#include "engine/thermo/Elements.h"
#include "engine/thermo/MaierKelley.h"
#include "engine/thermo/StandardGibbs.h"
#include "engine/thermo/Units.h"
#include "engine/water/Water.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::thermo {

namespace water = varsel::engine::water;

namespace {

// Tolerance of the range checks: the interface hands temperatures over as 32-bit floats, so
// 1000 °C arrives as 1273.15f = 1273.150024 K.
constexpr double kSlackK = 1e-3;
constexpr double kSlackBar = 1e-3;
constexpr double kMinAqueousDensity = 0.32;  // g/cm³
constexpr double kTripleTemperature = 273.16;

// A result for the interface: finite and below 1e33 in magnitude, else "cannot compute".
float ToInterface(std::optional<double> value, double scale = 1.0) {
    if (!value || !std::isfinite(*value)) return kCannotCompute;
    const double scaled = *value * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e33) return kCannotCompute;
    return static_cast<float>(scaled);
}

bool Usable(float value) {
    return std::isfinite(value) && std::fabs(value) < kUncomputableAbove;
}

// Runs a computation that may throw (the water functions do outside their range) and turns
// any failure into "cannot compute".
template <typename F>
std::optional<double> Guarded(F&& compute) {
    try {
        return compute();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

Thermo::Thermo(std::filesystem::path workFolder) : workFolder_(std::move(workFolder)) {}

void Thermo::OpenDatabase(const std::string& name, std::int16_t& flag) {
    flag = 0;
    try {
        UseDatabase(Database::Open(name, workFolder_));
    } catch (const DatabaseError& e) {
        throw RuntimeFailure(kEngineFailure, e.what());
    }
}

void Thermo::UseDatabase(Database database) {
    database_ = std::make_shared<const Database>(std::move(database));
    hkfCodes_.clear();
    estimatedCodes_.clear();
    condensedCodes_.clear();
    gasCodes_.clear();
    codeOfIndex_.clear();
}

std::int16_t Thermo::FindSubstance(const std::string& name) {
    if (!database_) return -1;
    std::optional<std::size_t> index = database_->IndexOf(name);
    if (!index || *index + 1 > 32767) return -1;
    return static_cast<std::int16_t>(*index + 1);
}

std::int16_t Thermo::GetTypeCode(std::int16_t index) {
    if (!database_ || index < 1 || static_cast<std::size_t>(index) > database_->Size()) return -1;
    const std::size_t position = static_cast<std::size_t>(index - 1);
    if (auto it = codeOfIndex_.find(position); it != codeOfIndex_.end()) return it->second;

    const SpeciesRecord& r = database_->Records()[position];
    std::int16_t code = -1;
    auto handOut = [&](std::vector<std::size_t>& codes, std::int16_t first, std::int16_t last,
                       const char* range) {
        if (codes.size() > static_cast<std::size_t>(last - first))
            throw RuntimeFailure(kEngineFailure, std::string("no free type code for ") + r.Name +
                                                     ": all codes of the " + range +
                                                     " range are in use");
        codes.push_back(position);
        return static_cast<std::int16_t>(first + codes.size() - 1);
    };
    switch (r.Role) {
        case SpeciesRole::Solvent:
            code = 0;
            break;
        case SpeciesRole::Proton:
            code = 1;
            break;
        case SpeciesRole::Hydroxide:
            code = 2;
            break;
        case SpeciesRole::WaterSubstance:
            code = handOut(condensedCodes_, kFirstCondensedCode, kLastCondensedCode, "condensed");
            break;
        case SpeciesRole::Ordinary:
            switch (r.Kind) {
                case SpeciesKind::Aqueous:
                    code = AqueousModelOf(r) == AqueousModel::Estimated
                               ? handOut(estimatedCodes_, kFirstEstimatedCode, kLastEstimatedCode,
                                         "estimated aqueous")
                               : handOut(hkfCodes_, kFirstHkfCode, kLastHkfCode, "aqueous");
                    break;
                case SpeciesKind::Mineral:
                case SpeciesKind::Water:
                    code = handOut(condensedCodes_, kFirstCondensedCode, kLastCondensedCode,
                                   "condensed");
                    break;
                case SpeciesKind::Gas:
                    code = handOut(gasCodes_, kFirstGasCode, kLastGasCode, "gas");
                    break;
            }
            break;
    }
    codeOfIndex_.emplace(position, code);
    return code;
}

const SpeciesRecord* Thermo::RecordOfCode(std::int16_t code) const {
    if (!database_) return nullptr;
    auto lookUp = [&](const std::vector<std::size_t>& codes,
                      std::int16_t first) -> const SpeciesRecord* {
        const std::size_t i = static_cast<std::size_t>(code - first);
        return i < codes.size() ? &database_->Records()[codes[i]] : nullptr;
    };
    if (code >= 0 && code <= 2) {
        for (const auto& [position, known] : codeOfIndex_)
            if (known == code) return &database_->Records()[position];
        const char* names[] = {"H2O,aq", "H+", "OH-"};
        return database_->Find(names[code]);
    }
    if (code >= kFirstGasCode) return lookUp(gasCodes_, kFirstGasCode);
    if (code >= kFirstCondensedCode) return lookUp(condensedCodes_, kFirstCondensedCode);
    if (code >= kFirstEstimatedCode) return lookUp(estimatedCodes_, kFirstEstimatedCode);
    if (code >= kFirstHkfCode) return lookUp(hkfCodes_, kFirstHkfCode);
    return nullptr;
}

std::int16_t Thermo::GetElementCode(const std::string& symbol) {
    return static_cast<std::int16_t>(ElementCode(symbol));
}

std::string Thermo::GetFormulaElements(const std::string& formula) {
    std::optional<Formula> parsed = TryParseFormula(formula);
    if (!parsed) return std::string(1, '\0');
    std::string codes;
    for (const ElementAmount& e : parsed->Elements)
        codes += static_cast<char>(e.Code);
    return codes;
}

float Thermo::GetElementAmount(const std::string& formula, std::int16_t elementCode) {
    std::optional<Formula> parsed = TryParseFormula(formula);
    return parsed ? static_cast<float>(parsed->Amount(elementCode)) : 0.0f;
}

bool Thermo::TemperatureInRange(double tempK) const {
    if (!std::isfinite(tempK) || tempK <= 0.0) return false;
    return ignoreLimits_ || (tempK >= kTr - 25.0 - kSlackK && tempK <= kTr + 975.0 + kSlackK);
}

bool Thermo::PressureInRange(double pressureBar) const {
    if (!std::isfinite(pressureBar) || pressureBar <= 0.0) return false;
    return ignoreLimits_ || pressureBar <= 5000.0 + kSlackBar;
}

float Thermo::SaturationPressure(float tempK) {
    double t = tempK;
    // Liquid water just below the triple point (0 °C is 0.01 K below it) takes the triple-point
    // pressure; the difference is 0.05 Pa.
    if (t >= kTripleTemperature - 0.01 - kSlackK && t < kTripleTemperature) t = kTripleTemperature;
    if (!(t >= kTripleTemperature && t <= water::kCriticalTemperature)) return kCannotCompute;
    return ToInterface(Guarded([&] { return water::SaturationPressure(t); }), 1.0 / kBar);
}

float Thermo::WaterDensity(float tempK, float& pressureBar, std::int16_t& flag) {
    flag = 0;
    if (!TemperatureInRange(tempK) || !PressureInRange(pressureBar)) return kCannotCompute;
    const double t = tempK, p = pressureBar * kBar;
    return ToInterface(Guarded([&] { return SolventDensity(t, p); }), 1e-3);
}

float Thermo::WaterProperty(float tempK, float density) {
    if (!TemperatureInRange(tempK) || !Usable(density) || density <= 0.0f) return kCannotCompute;
    const double t = tempK, rho = density * 1e3;
    return ToInterface(Guarded([&] { return DielectricConstant(t, rho, modes_); }));
}

float Thermo::WaterPotential(float tempK, float pressureBar, float density) {
    if (!TemperatureInRange(tempK) || !PressureInRange(pressureBar)) return kCannotCompute;
    if (!Usable(density) || density <= 0.0f) return kCannotCompute;
    const double t = tempK, p = pressureBar * kBar;
    return ToInterface(Guarded([&] { return water::ApparentGibbs(t, p); }));
}

float Thermo::Type2Potential(float tempK, float density, float waterPotential) {
    if (!TemperatureInRange(tempK) || !Usable(density) || density <= 0.0f ||
        !Usable(waterPotential))
        return kCannotCompute;
    if (!ignoreLimits_ && density < kMinAqueousDensity) return kCannotCompute;
    const double t = tempK, rho = density * 1e3;
    // H2O = H+ + OH-: G(OH-) = G(H2O) − RT ln Kw with G(H+) = 0.
    return ToInterface(
        Guarded([&] { return waterPotential - kGasConstant * t * kLn10 * LogKw(t, rho, modes_); }));
}

std::string Thermo::AqueousWaterProblem(float tempK, float pressureBar, float density) const {
    const double minimum = ignoreLimits_ ? 0.0 : kMinAqueousDensity * 1e3;
    return thermo::AqueousWaterProblem(tempK, pressureBar * kBar, density * 1e3, minimum,
                                       "/ie lifts it");
}

float Thermo::AqueousIn(std::int16_t first, std::int16_t last, std::int16_t code, float tempK,
                        float pressureBar, float density, float epsilon) const {
    if (code < first || code > last) return kCannotCompute;
    const SpeciesRecord* r = RecordOfCode(code);
    if (!r || !TemperatureInRange(tempK) || !PressureInRange(pressureBar)) return kCannotCompute;
    if (!Usable(density) || density <= 0.0f || !Usable(epsilon) || epsilon <= 0.0f)
        return kCannotCompute;
    if (!ignoreLimits_ && density < kMinAqueousDensity) return kCannotCompute;
    const double t = tempK, p = pressureBar * kBar, rho = density * 1e3;
    return ToInterface(
        Guarded([&]() -> std::optional<double> {
            HkfWater w{t, p, epsilon, SolventFunctionG(t, p, rho, modes_), ReferenceBorn(modes_)};
            return AqueousGibbs(*r, w);
        }),
        1e-3);
}

float Thermo::AqueousPotential(std::int16_t code, float tempK, float pressureBar, float density,
                               float waterProperty) {
    return AqueousIn(kFirstHkfCode, kLastHkfCode, code, tempK, pressureBar, density, waterProperty);
}

float Thermo::AqueousPotentialEx(std::int16_t code, float tempK, float pressureBar, float density,
                                 float waterProperty, std::int16_t& flag) {
    flag = 0;
    return AqueousIn(kFirstEstimatedCode, kLastEstimatedCode, code, tempK, pressureBar, density,
                     waterProperty);
}

float Thermo::SubstancePotential(std::int16_t code, float tempK, float pressureBar,
                                 std::int16_t& flag) {
    flag = 0;
    if (code >= kFirstGasCode) return GasPotential(code, tempK, pressureBar);
    if (code < kFirstCondensedCode) return kCannotCompute;
    const SpeciesRecord* r = RecordOfCode(code);
    if (!r || !TemperatureInRange(tempK) || !PressureInRange(pressureBar)) return kCannotCompute;
    const double t = tempK, p = pressureBar * kBar;
    if (r->Kind == SpeciesKind::Water)
        return ToInterface(Guarded([&] { return water::ApparentGibbs(t, p); }), 1e-3);
    if (!MissingData(*r).empty()) return kCannotCompute;
    return ToInterface(MineralGibbs(*r, t, p), 1e-3);
}

float Thermo::GasPotential(std::int16_t code, float tempK, float pressureBar) {
    if (code < kFirstGasCode) return kCannotCompute;
    const SpeciesRecord* r = RecordOfCode(code);
    if (!r || !TemperatureInRange(tempK) || !PressureInRange(pressureBar)) return kCannotCompute;
    if (!MissingData(*r).empty()) return kCannotCompute;
    const double t = tempK, p = pressureBar * kBar;
    return ToInterface(GasGibbs(*r, t) + kGasConstant * t * std::log(p / kPr), 1e-3);
}

}  // namespace varsel::engine::thermo
