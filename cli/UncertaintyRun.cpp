#include "UncertaintyRun.h"

#include <exception>

#include "uncertainty/Describe.h"
#include "uncertainty/FittedProblem.h"

namespace varsel::cli {

namespace {

// `text` padded with blanks to `width` characters (UTF-8 continuation bytes take no room).
std::string Padded(const std::string& text, std::size_t width, bool right = false) {
    std::size_t shown = 0;
    for (unsigned char c : text)
        shown += (c & 0xC0) != 0x80;
    const std::string blanks(width > shown ? width - shown : 0, ' ');
    return right ? blanks + text : text + blanks;
}

void PrintTable(const uncertainty::Result& r, std::FILE* out) {
    std::fprintf(out, "Intervals of the fitted species (kJ/mol):\n");
    std::fprintf(out, "  %-12s %10s %12s  %-22s %-22s %s\n", "species", "value", "linear",
                 "profile, joint", "profile, individual", "bootstrap");
    for (const uncertainty::SpeciesIntervals& s : r.Species) {
        const std::string joint = s.HasProfile ? IntervalText(s.Joint) : "-";
        const std::string individual = s.HasProfile ? IntervalText(s.Individual) : "-";
        const std::string bootstrap = s.HasBootstrap ? BootstrapText(s) : "-";
        std::fprintf(out, "  %s %10.3f %s  %s %s %s\n", Padded(s.Name, 12).c_str(), s.Value,
                     Padded(uncertainty::LinearText(s.LinearJoint), 12, true).c_str(),
                     Padded(joint, 22).c_str(), Padded(individual, 22).c_str(), bootstrap.c_str());
    }
}

}  // namespace

bool EstimateIntervals(const UncertaintyRequest& request, const std::string& path,
                       bool ignoreLimits, const FitSummary& run, std::FILE* out, StopToken stop,
                       uncertainty::Result& result) {
    uncertainty::Options options;
    options.Profile = request.Profile;
    options.Replicates = request.Replicates;
    options.Seed = request.Seed ? *request.Seed : uncertainty::FreshSeed();
    options.Threads = request.Threads;
    options.ScaleByFit = request.ScaleByFit;
    options.Stop = stop;
    int shown = 0;  // tenths of the work shown so far
    options.Progress = [out, &shown](int done, int total) {
        const int tenth = total > 0 ? 10 * done / total : 10;
        if (tenth <= shown) return;
        shown = tenth;
        std::fprintf(out, "Profiles and bootstrap: %d %%\n", 10 * tenth);
        std::fflush(out);
    };
    std::fprintf(out, "Profiles and bootstrap on %d threads...\n",
                 request.Threads > 0 ? request.Threads : uncertainty::AllCores());
    try {
        Problem problem = uncertainty::ReopenAtFit(path, ignoreLimits, run);
        result = uncertainty::Estimate(problem, options);
    } catch (const std::exception& failure) {
        std::fprintf(out, "No intervals: %s\n", failure.what());
        result.Failure = failure.what();
        return false;
    }
    const bool complete = result.Failure.empty() && !result.Stopped;
    if (complete) PrintTable(result, out);
    for (const std::string& line : uncertainty::MethodLines(result))
        std::fprintf(out, "%s\n", line.c_str());
    for (const std::string& flag : result.Flags)
        std::fprintf(out, "Note: %s\n", flag.c_str());
    return complete;
}

}  // namespace varsel::cli
