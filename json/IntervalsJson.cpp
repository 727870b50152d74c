#include "json/IntervalsJson.h"

#include <cmath>

#include "uncertainty/Describe.h"

namespace varsel::json {

namespace {

using nlohmann::json;

json Number(double value) {
    return std::isfinite(value) ? json(value) : json(nullptr);
}

json End(const uncertainty::End& end) {
    return end.Found() ? Number(end.Value) : json(nullptr);
}

json Interval(const uncertainty::ProfileInterval& i) {
    return json::array({End(i.Low), End(i.High)});
}

}  // namespace

void AddIntervals(json& document, const uncertainty::Result& r) {
    json intervals = {{"scaledByFit", r.ScaleByFit},
                      {"scale", Number(r.Scale)},
                      {"convention", uncertainty::Convention(r)},
                      {"thresholds",
                       {{"joint", Number(r.JointThreshold)},
                        {"individual", Number(r.IndividualThreshold)}}},
                      {"methods", uncertainty::MethodLines(r)},
                      {"flags", r.Flags},
                      {"stopped", r.Stopped}};
    if (!r.Failure.empty()) intervals["failure"] = r.Failure;
    document["intervals"] = intervals;
    if (r.Replicates > 0) {
        document["bootstrap"] = {
            {"replicates", r.Replicates}, {"failed", r.Failed}, {"seed", r.Seed}};
    }
    if (!r.Failure.empty() || r.Stopped) return;
    for (json& entry : document["species"]) {
        for (const uncertainty::SpeciesIntervals& s : r.Species) {
            if (entry["name"] != s.Name) continue;
            entry["linear"] = {{"joint", Number(s.LinearJoint)},
                               {"individual", Number(s.LinearIndividual)}};
            if (r.Profiled) {
                entry["profile"] = {{"joint", Interval(s.Joint)},
                                    {"individual", Interval(s.Individual)}};
            }
            if (r.Replicates > 0) {
                entry["bootstrap"] = {
                    {"lo", s.HasBootstrap ? Number(s.BootstrapLow) : json(nullptr)},
                    {"hi", s.HasBootstrap ? Number(s.BootstrapHigh) : json(nullptr)}};
            }
        }
    }
}

}  // namespace varsel::json
