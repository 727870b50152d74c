// The rules that keep a series fit meaningful, by species: a parameter needs data that can
// tell it from the others.
//  - At most one parameter fewer than the distinct temperatures the species is fitted over.
//  - c1 only with five or more temperatures spanning at least 150 K (the curvature of G°(T)
//    needs a range).
//  - c2 and omega only with seven or more temperatures (their terms are near-multiples of
//    the c1 and S terms over a narrow range).
//  - a1–a4 only with at least two pressures at each of two or more temperatures.
#pragma once

#include <string>
#include <vector>

namespace varsel::series {

/// A temperature (°C) and pressure (bar) at which a species is fitted.
struct Condition {
    double TemperatureC = 0;
    double PressureBar = 0;
};

/// The rules a species' choice of parameters (database keywords) meets over its conditions,
/// in words, or the first rule it breaks: the text then goes to `refusal` and the result is
/// empty.
std::vector<std::string> CheckGuards(const std::string& species,
                                     const std::vector<std::string>& parameters,
                                     const std::vector<Condition>& conditions,
                                     std::string& refusal);

}  // namespace varsel::series
