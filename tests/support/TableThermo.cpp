#include "support/TableThermo.h"

namespace varsel::test {

void TableThermo::OpenDatabase(const std::string& name, std::int16_t& flag) {
    OpenedDatabase = name;
    flag = 0;
}

std::int16_t TableThermo::FindSubstance(const std::string& name) {
    if (TypeCodes.find(name) == TypeCodes.end()) return 0;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name) return static_cast<std::int16_t>(i + 1);
    }
    names_.push_back(name);
    return static_cast<std::int16_t>(names_.size());
}

std::int16_t TableThermo::GetTypeCode(std::int16_t index) {
    if (index < 1 || static_cast<std::size_t>(index) > names_.size()) return -1;
    return TypeCodes.at(names_[static_cast<std::size_t>(index) - 1]);
}

std::int16_t TableThermo::GetElementCode(const std::string& symbol) {
    const auto it = ElementCodes.find(symbol);
    return it == ElementCodes.end() ? 0 : it->second;
}

std::string TableThermo::GetFormulaElements(const std::string& formula) {
    const auto it = Formulas.find(formula);
    if (it == Formulas.end()) return std::string(1, '\0');
    std::string list;
    for (const auto& [code, amount] : it->second)
        list.push_back(static_cast<char>(code));
    return list;
}

float TableThermo::GetElementAmount(const std::string& formula, std::int16_t elementCode) {
    const auto it = Formulas.find(formula);
    if (it == Formulas.end()) return 0;
    for (const auto& [code, amount] : it->second) {
        if (code == elementCode) return amount;
    }
    return 0;
}

float TableThermo::PotentialOf(std::int16_t code) const {
    const auto it = Potentials.find(code);
    return it == Potentials.end() ? 1e35f : it->second;
}

float TableThermo::AqueousPotentialEx(std::int16_t code, float, float, float, float,
                                      std::int16_t& flag) {
    flag = 0;
    return PotentialOf(code);
}

float TableThermo::SubstancePotential(std::int16_t code, float, float, std::int16_t& flag) {
    flag = 0;
    return PotentialOf(code);
}

}  // namespace varsel::test
