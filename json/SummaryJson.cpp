#include "json/SummaryJson.h"

#include <cmath>

#include "json/JsonText.h"

namespace varsel::json {

namespace {

using nlohmann::json;

// JSON has no NaN or infinity; a value that is not finite is written as null.
json Number(double value) {
    return std::isfinite(value) ? json(value) : json(nullptr);
}

}  // namespace

json SummaryDocument(const FitSummary& s) {
    json root = json::object();
    root["title"] = s.Title;
    root["succeeded"] = s.Succeeded;
    if (!s.Outcome.empty()) root["failure"] = s.Outcome;
    root["nothingToFit"] = s.NothingToFit;
    root["xAxis"] = s.XAxis;
    root["yAxis"] = s.YAxis;
    json species = json::array();
    for (const FittedValue& v : s.Species) {
        species.push_back(
            {{"name", v.Name}, {"value", Number(v.Value)}, {"halfWidth95", Number(v.HalfWidth)}});
    }
    root["species"] = species;
    json correlation = json::array();
    for (const std::vector<double>& row : s.Correlation) {
        json cells = json::array();
        for (double r : row)
            cells.push_back(Number(r));
        correlation.push_back(cells);
    }
    root["correlation"] = correlation;
    json meanError = {{"before", Number(s.MeanErrorBefore)}};
    if (s.HasMeanErrorAfter) meanError["after"] = Number(s.MeanErrorAfter);
    root["meanError"] = meanError;
    root["iterations"] = s.Iterations;
    root["engineCalculations"] = s.EngineCalculations;
    root["wallSeconds"] = Number(s.WallSeconds);
    json samples = json::array();
    for (const SamplePoint& p : s.Samples) {
        samples.push_back({{"name", p.Name},
                           {"x", Number(p.X)},
                           {"yExp", Number(p.YExp)},
                           {"yCalc", Number(p.YCalc)},
                           {"error", Number(p.Error)},
                           {"weight", Number(p.Weight)}});
    }
    root["samples"] = samples;
    root["flags"] = s.Flags;
    return root;
}

std::string SummaryJson(const FitSummary& s) {
    return JsonText(SummaryDocument(s));
}

}  // namespace varsel::json
