#include "series/Guards.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace varsel::series {

namespace {

// Temperatures and pressures of data files differ by far more than these when they differ.
constexpr double kSameTemperature = 0.01;  // K
constexpr double kSamePressure = 1e-4;     // relative

bool SameTemperature(double a, double b) {
    return std::fabs(a - b) < kSameTemperature;
}

bool SamePressure(double a, double b) {
    return std::fabs(a - b) <= kSamePressure * std::max(std::fabs(a), std::fabs(b));
}

std::vector<double> DistinctTemperatures(const std::vector<Condition>& conditions) {
    std::vector<double> temperatures;
    for (const Condition& c : conditions) {
        const bool known = std::any_of(temperatures.begin(), temperatures.end(), [&](double t) {
            return SameTemperature(t, c.TemperatureC);
        });
        if (!known) temperatures.push_back(c.TemperatureC);
    }
    return temperatures;
}

// The temperatures at which two or more distinct pressures occur.
int TemperaturesWithTwoPressures(const std::vector<Condition>& conditions) {
    int count = 0;
    for (double t : DistinctTemperatures(conditions)) {
        std::vector<double> pressures;
        for (const Condition& c : conditions) {
            if (!SameTemperature(c.TemperatureC, t)) continue;
            const bool known = std::any_of(pressures.begin(), pressures.end(), [&](double p) {
                return SamePressure(p, c.PressureBar);
            });
            if (!known) pressures.push_back(c.PressureBar);
        }
        if (pressures.size() >= 2) ++count;
    }
    return count;
}

bool Has(const std::vector<std::string>& parameters, const char* name) {
    return std::find(parameters.begin(), parameters.end(), name) != parameters.end();
}

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Kelvin(double span) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f K", span);
    return text;
}

}  // namespace

std::vector<std::string> CheckGuards(const std::string& species,
                                     const std::vector<std::string>& parameters,
                                     const std::vector<Condition>& conditions,
                                     std::string& refusal) {
    const std::vector<double> temperatures = DistinctTemperatures(conditions);
    const std::size_t nT = temperatures.size();
    const auto [low, high] = std::minmax_element(temperatures.begin(), temperatures.end());
    const double span = nT > 0 ? *high - *low : 0.0;
    const std::string given = "the files give " + Count(nT, "temperature", "temperatures");
    std::vector<std::string> applied;

    if (parameters.size() + 1 > nT) {
        refusal = species + ": " + Count(parameters.size(), "parameter", "parameters") +
                  " need at least " + std::to_string(parameters.size() + 1) +
                  " distinct temperatures (a species takes at most one parameter fewer than "
                  "the temperatures it is fitted over); " +
                  given;
        return {};
    }
    applied.push_back(species + ": " + Count(parameters.size(), "parameter", "parameters") +
                      " from " + Count(nT, "temperature", "temperatures") +
                      " (at most one fewer than the temperatures)");

    if (Has(parameters, "c1")) {
        if (nT < 5 || span < 150.0) {
            refusal = species + ": c1 needs five or more temperatures spanning at least 150 K; " +
                      given + " spanning " + Kelvin(span);
            return {};
        }
        applied.push_back(species + ": c1 from " + Count(nT, "temperature", "temperatures") +
                          " spanning " + Kelvin(span) + " (five spanning 150 K needed)");
    }
    for (const char* name : {"c2", "omega"}) {
        if (!Has(parameters, name)) continue;
        if (nT < 7) {
            refusal = species + ": " + name + " needs seven or more temperatures; " + given;
            return {};
        }
        applied.push_back(species + ": " + name + " from " +
                          Count(nT, "temperature", "temperatures") + " (seven needed)");
    }
    for (const char* name : {"a1", "a2", "a3", "a4"}) {
        if (!Has(parameters, name)) continue;
        const int twoPressures = TemperaturesWithTwoPressures(conditions);
        if (twoPressures < 2) {
            refusal = species + ": " + name +
                      " needs at least two pressures at each of two or more temperatures; the "
                      "files give two or more pressures at " +
                      Count(static_cast<std::size_t>(twoPressures), "temperature", "temperatures");
            return {};
        }
        applied.push_back(
            species + ": " + name + " from two or more pressures at " +
            Count(static_cast<std::size_t>(twoPressures), "temperature", "temperatures") +
            " (two needed)");
    }
    return applied;
}

}  // namespace varsel::series
