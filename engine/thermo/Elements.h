// The chemical elements: symbols, element codes (the atomic numbers) and standard atomic
// weights (IUPAC 2013 conventional values; mass number of the longest-lived isotope for the
// elements without a standard weight).
#pragma once

#include <span>
#include <string_view>

namespace varsel::engine::thermo {

/// One chemical element.
struct Element {
    std::string_view Symbol;  ///< "H", "He", ... (case-sensitive)
    int Code = 0;             ///< atomic number, the engine's element code
    double AtomicMass = 0;    ///< g/mol
};

/// Every element known to the engine, ordered by code (hydrogen to lawrencium).
std::span<const Element> AllElements();

/// The element with this symbol (exact case), or nullptr.
const Element* FindElement(std::string_view symbol);

/// The element with this code, or nullptr.
const Element* ElementByCode(int code);

/// Element code of a symbol, 0 when there is no such element.
int ElementCode(std::string_view symbol);

}  // namespace varsel::engine::thermo
