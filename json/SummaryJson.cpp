#include "json/SummaryJson.h"

#include <openssl/evp.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

#include "json/JsonText.h"

namespace varsel::json {

namespace {

using nlohmann::json;

// JSON has no NaN or infinity; a value that is not finite is written as null.
json Number(double value) {
    return std::isfinite(value) ? json(value) : json(nullptr);
}

// A value the model stores as a 32-bit float, as the shortest decimal that reads back to
// that float (-1.109 rather than the double -1.1089999675750732).
json Float(double value) {
    if (!std::isfinite(value)) return nullptr;
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<float>(value)).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

// The SHA-256 of a file's bytes in hexadecimal; null when it cannot be read.
json FileSha256(const std::string& path) {
    if (path.empty()) return nullptr;
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
        return nullptr;
    }
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

// Now, in UTC, as ISO 8601 ("2025-03-01T12:34:56Z").
std::string UtcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

json Axis(const AxisSummary& a) {
    return {{"definition", a.Definition}, {"quantity", a.Quantity}, {"log10", a.Log10}};
}

}  // namespace

json SummaryDocument(const FitSummary& s) {
    json root = json::object();
    root["schemaVersion"] = kSchemaVersion;
    root["program"] = {{"name", "Varsel"}, {"version", VARSEL_VERSION}};
    root["date"] = UtcNow();
    root["dataFile"] = {{"path", s.DataFile}, {"sha256", FileSha256(s.DataFile)}};
    const FitConditions& c = s.Conditions;
    root["conditions"] = {{"temperatureC", Float(c.TemperatureC)},
                          {"pressureBar", Float(c.PressureBar)},
                          {"database", c.Database},
                          {"databaseSha256", FileSha256(c.DatabaseFile)},
                          {"system", c.System},
                          {"activityModel", c.ActivityModel},
                          {"options", c.Options}};
    root["title"] = s.Title;
    root["succeeded"] = s.Succeeded;
    if (!s.Outcome.empty()) root["failure"] = s.Outcome;
    root["nothingToFit"] = s.NothingToFit;
    root["axes"] = {{"x", Axis(s.X)}, {"y", Axis(s.Y)}};
    json species = json::array();
    for (const FittedValue& v : s.Species) {
        species.push_back({{"name", v.Name},
                           {"value", Float(v.Value)},
                           {"halfWidth95", v.HalfWidth > 0 ? Float(v.HalfWidth) : json(nullptr)},
                           {"unit", "kJ/mol"}});
    }
    root["species"] = species;
    json fixed = json::array();
    for (const FittedValue& v : s.FixedSpecies)
        fixed.push_back({{"name", v.Name}, {"value", Float(v.Value)}, {"unit", "kJ/mol"}});
    root["fixedSpecies"] = fixed;
    json names = json::array();
    json matrix = json::array();
    if (!s.Correlation.empty()) {
        for (const FittedValue& v : s.Species)
            names.push_back(v.Name);
    }
    for (const std::vector<double>& row : s.Correlation) {
        json cells = json::array();
        for (double r : row)
            cells.push_back(Number(r));
        matrix.push_back(cells);
    }
    root["correlation"] = {{"species", names}, {"matrix", matrix}};
    root["meanError"] = {{"before", s.HasWeights ? Number(s.MeanErrorBefore) : json(nullptr)},
                         {"after", s.HasMeanErrorAfter ? Number(s.MeanErrorAfter) : json(nullptr)},
                         {"unit", s.Y.Log10 ? "log10 units" : "units of Y"}};
    root["iterations"] = s.Iterations;
    root["engineCalculations"] = s.EngineCalculations;
    root["wallSeconds"] = Number(s.WallSeconds);
    json samples = json::array();
    for (const SamplePoint& p : s.Samples) {
        samples.push_back({{"name", p.Name},
                           {"x", Float(p.X)},
                           {"yExp", Float(p.YExp)},
                           {"yCalc", Float(p.YCalc)},
                           {"error", Float(p.Error)},
                           {"weight", Float(p.Weight)}});
    }
    root["samples"] = samples;
    root["flags"] = s.Flags;
    return root;
}

std::string SummaryJson(const FitSummary& s) {
    return JsonText(SummaryDocument(s));
}

}  // namespace varsel::json
