#include "uncertainty/Agreement.h"

#include <cmath>
#include <cstdio>

namespace varsel::uncertainty {

namespace {

std::string Formatted(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Compares one end (at `distance` from x*, on `side`) with the linear half-width.
void Compare(std::vector<std::string>& flags, const SpeciesIntervals& s, const char* side,
             double distance, const char* method) {
    const double linear = s.LinearIndividual;
    if (!(linear > 0)) return;
    const double ratio = distance / linear;
    const bool under = ratio > 1 + kDisagreement;
    if (!under && !(ratio < 1 - kDisagreement)) return;
    flags.push_back("the linear half-width of " + s.Name +
                    (under ? " understates" : " overstates") + " its uncertainty on the " + side +
                    " side (the " + method + " interval reaches " + Formatted("%.3g", ratio) +
                    " times as far): use the " + method + " interval");
}

void SayEnd(std::vector<std::string>& flags, const SpeciesIntervals& s, const End& end,
            const char* side, const char* threshold) {
    if (end.What == End::Kind::Unbounded) {
        flags.push_back("the data do not bound " + s.Name + " from " + side + " at the " +
                        threshold + " threshold: its profile stays below it within " +
                        Formatted("%.0f", kProfileReach) + " kJ/mol");
    } else if (end.What == End::Kind::Failed) {
        flags.push_back("the " + std::string(threshold) + " profile interval of " + s.Name +
                        " has no end " + side + ": " + end.Why);
    }
}

}  // namespace

std::vector<std::string> DisagreementFlags(const Result& r) {
    std::vector<std::string> flags;
    for (const SpeciesIntervals& s : r.Species) {
        if (s.HasProfile) {
            const ProfileInterval& i = s.Individual;
            SayEnd(flags, s, i.Low, "below", "individual");
            SayEnd(flags, s, i.High, "above", "individual");
            if (i.Low.Found()) SayEnd(flags, s, s.Joint.Low, "below", "joint");
            if (i.High.Found()) SayEnd(flags, s, s.Joint.High, "above", "joint");
            if (i.Low.Found()) Compare(flags, s, "low", s.Value - i.Low.Value, "profile");
            if (i.High.Found()) Compare(flags, s, "high", i.High.Value - s.Value, "profile");
        }
        if (s.HasBootstrap) {
            Compare(flags, s, "low", s.Value - s.BootstrapLow, "bootstrap");
            Compare(flags, s, "high", s.BootstrapHigh - s.Value, "bootstrap");
        }
    }
    if (r.Replicates > 0 && r.Failed > kFailedShareFlagged * r.Replicates) {
        flags.push_back(std::to_string(r.Failed) + " of " + std::to_string(r.Replicates) +
                        " bootstrap replicates (" +
                        Formatted("%.1f", 100.0 * r.Failed / r.Replicates) +
                        " %) could not be refitted (the first: " + r.FirstFailure +
                        "): the bootstrap interval rests on the others and may be too narrow");
    }
    return flags;
}

}  // namespace varsel::uncertainty
