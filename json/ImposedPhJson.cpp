#include "json/ImposedPhJson.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace varsel::json {

using nlohmann::json;

json ImposedPhDocument(const FitSummary& s) {
    json samples = json::array();
    for (const SamplePoint& p : s.Samples) {
        // The pH as the float the fit used, in its shortest decimal (2.484, not 2.4839999...).
        json ph = nullptr;
        if (p.HasPh && std::isfinite(p.Ph)) {
            char text[32];
            *std::to_chars(text, text + sizeof text - 1, static_cast<float>(p.Ph)).ptr = '\0';
            ph = std::strtod(text, nullptr);
        }
        samples.push_back(
            {{"name", p.Name},
             {"pH", ph},
             {"titrant", std::isfinite(p.Titrant) ? json(p.Titrant) : json(nullptr)}});
    }
    return {{"scale", s.PhMolal ? "molal" : "activity"},
            {"acid", s.Acid},
            {"base", s.Base},
            {"unit", "mol/kg"},
            {"samples", samples}};
}

}  // namespace varsel::json
