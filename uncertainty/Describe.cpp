#include "uncertainty/Describe.h"

#include <cstdio>

namespace varsel::uncertainty {

namespace {

std::string Fixed(double value, int decimals = 3) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// "[low, high]", built by appending: GCC 12 warns falsely on "[" + std::string.
std::string Bracketed(const std::string& low, const std::string& high) {
    std::string text(1, '[');
    return text.append(low).append(", ").append(high).append("]");
}

}  // namespace

std::string EndText(const End& end) {
    switch (end.What) {
        case End::Kind::Found:
            return Fixed(end.Value);
        case End::Kind::Unbounded:
            return "unbounded";
        case End::Kind::Failed:
            break;
    }
    return "not found";
}

std::string IntervalText(const ProfileInterval& interval) {
    return Bracketed(EndText(interval.Low), EndText(interval.High));
}

std::string BootstrapText(const SpeciesIntervals& s) {
    if (!s.HasBootstrap) return "\xE2\x80\x93";
    return Bracketed(Fixed(s.BootstrapLow), Fixed(s.BootstrapHigh));
}

std::string LinearText(double halfWidth) {
    return halfWidth > 0 ? "\xC2\xB1 " + Fixed(halfWidth) : "not estimated";
}

std::string Convention(const Result& r) {
    if (!r.ScaleByFit) return "the weights are taken as 1/\xCF\x83\xC2\xB2 of the measured Y";
    return "the weights are taken as relative: thresholds and linear half-widths are scaled by "
           "the reduced \xCF\x87\xC2\xB2 S_R/(N \xE2\x88\x92 n) = " +
           Fixed(r.SumOfSquares, 4) + "/(" + std::to_string(r.WeightedSamples) + " \xE2\x88\x92 " +
           std::to_string(r.Species.size()) + ") = " + Fixed(r.Scale, 4);
}

std::vector<std::string> MethodLines(const Result& r) {
    std::vector<std::string> lines;
    if (!r.Failure.empty()) lines.push_back("No intervals: " + r.Failure);
    if (r.Stopped) lines.push_back("No intervals: " + std::string(kStoppedByUser));
    if (!lines.empty()) return lines;
    const std::string n = std::to_string(r.Species.size());
    lines.push_back("Intervals at 95 %; " + Convention(r) + ".");
    const double unscaled = r.JointThreshold / r.Scale;
    std::string joint =
        "\xCF\x87\xC2\xB2\xE2\x82\x89\xE2\x82\x85(" + n + ")\xC2\xB7" + n + " = " + Fixed(unscaled);
    if (r.ScaleByFit) joint += " \xC3\x97 " + Fixed(r.Scale, 4) + " = " + Fixed(r.JointThreshold);
    lines.push_back(
        "Linear (the data file's half-width" + std::string(r.ScaleByFit ? ", scaled" : "") +
        "): x \xC2\xB1 sqrt(2 (H\xE2\x81\xBB\xC2\xB9)pp T) with the joint threshold T = " + joint +
        "; it assumes S quadratic in the values.");
    if (r.Profiled) {
        lines.push_back("Profile, joint: the values v with S(v) \xE2\x88\x92 S_R \xE2\x89\xA4 " +
                        Fixed(r.JointThreshold) +
                        ", the other free species refitted at each v; individual: S(v) "
                        "\xE2\x88\x92 S_R \xE2\x89\xA4 " +
                        Fixed(r.IndividualThreshold) +
                        " (one species alone). An end not reached "
                        "within 1000 kJ/mol is unbounded.");
    }
    if (r.Replicates > 0) {
        lines.push_back("Bootstrap (individual): the 2.5 and 97.5 percentiles over " +
                        std::to_string(r.Replicates - r.Failed) + " of " +
                        std::to_string(r.Replicates) +
                        " residual-bootstrap replicates, each refitted from the optimum (" +
                        std::to_string(r.Failed) + " failed); leverage-corrected residuals; seed " +
                        std::to_string(r.Seed) +
                        ", which reproduces them on any number of threads. It does not depend "
                        "on the weights' scale.");
    }
    return lines;
}

}  // namespace varsel::uncertainty
