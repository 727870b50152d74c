// How the water library refuses: one exception type for the engine, with messages that name
// the values that caused the failure. Internal to the water library.
#pragma once

#include <string>

namespace varsel::engine::water::detail {

/// Throws varsel::RuntimeFailure(kEngineFailure) with the text.
[[noreturn]] void Fail(const std::string& text);

/// A number for a message, with up to 10 significant digits ("573.15", "5e+07", "nan").
std::string Show(double value);

/// "T = 573.15 K" and "T = 573.15 K and P = 5e+07 Pa", the usual tails of a message.
std::string AtTemperature(double temperature);
std::string AtState(double temperature, double pressure);

/// Refuses a temperature (K) outside [kMinimumTemperature, kMaximumTemperature] or a density
/// (kg/m³) that is not positive and finite; `what` names the routine for the message.
void CheckTemperatureDensity(const char* what, double temperature, double density);

/// Refuses a result that is not finite.
double CheckFinite(const char* what, double value, double temperature, double density);

}  // namespace varsel::engine::water::detail
