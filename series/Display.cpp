#include "series/Display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "engine/thermo/Units.h"

namespace varsel::series {

namespace thermo = engine::thermo;

namespace {

bool PerBar(thermo::HkfParameter p) {
    return p == thermo::HkfParameter::a1 || p == thermo::HkfParameter::a3;
}

}  // namespace

double DisplayFactor(thermo::HkfParameter parameter, double energyUnit) {
    return (PerBar(parameter) ? thermo::kBar : 1.0) / energyUnit;
}

std::string DisplayUnit(thermo::HkfParameter parameter, double energyUnit) {
    const std::string e = energyUnit == 1.0 ? "J" : "cal";
    switch (parameter) {
        case thermo::HkfParameter::S:
        case thermo::HkfParameter::c1:
            return e + "/(mol K)";
        case thermo::HkfParameter::c2:
        case thermo::HkfParameter::a4:
            return e + " K/mol";
        case thermo::HkfParameter::a1:
            return e + "/(mol bar)";
        case thermo::HkfParameter::a3:
            return e + " K/(mol bar)";
        default:
            return e + "/mol";
    }
}

std::string WithHalfWidth(double value, double halfWidth, const char* plusMinus) {
    char text[96];
    if (!(halfWidth > 0) || !std::isfinite(halfWidth)) {
        std::snprintf(text, sizeof text, "%.7g", value);
        return text;
    }
    const int decimals = std::clamp(3 - static_cast<int>(std::ceil(std::log10(halfWidth))), 0, 9);
    std::snprintf(text, sizeof text, "%.*f%s%.*f", decimals, value, plusMinus, decimals, halfWidth);
    return text;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

}  // namespace varsel::series
