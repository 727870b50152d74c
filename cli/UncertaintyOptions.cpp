#include "UncertaintyOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>

#include "uncertainty/Uncertainty.h"

namespace varsel::cli {

void AddUncertaintyOptions(CLI::App& app, UncertaintyRequest& request) {
    app.add_flag("--profile", request.Profile,
                 "after the fit, find the profile interval of every fitted species (joint and "
                 "individual thresholds)");
    // A flag with a default value, so that "--bootstrap FILE" does not take the file for N.
    app.add_flag("--bootstrap{1000}", request.Replicates,
                 "after the fit, refit N residual-bootstrap replicates (--bootstrap N or "
                 "--bootstrap=N; 1000 when N is not given)")
        ->check(CLI::Range(1, 1000000))
        ->option_text("[N]");
    app.add_option("--seed", request.Seed,
                   "the bootstrap's random seed (0 to 2^53 - 1); the same seed gives the same "
                   "intervals. Default: a fresh one, which is printed")
        ->check(CLI::Range(std::uint64_t{0}, uncertainty::kMaxSeed));
    app.add_option("--threads", request.Threads,
                   "threads for the profiles and the bootstrap (default: all cores)")
        ->check(CLI::Range(1, 1024));
    app.add_flag("--scale-by-fit", request.ScaleByFit,
                 "take the weights as relative: scale every threshold by the reduced "
                 "chi-square S/(N - n) of the fit");
}

std::vector<std::string> JoinBootstrapCount(int argc, const char* const* argv) {
    const auto isCount = [](const std::string& text) {
        return !text.empty() && std::all_of(text.begin(), text.end(),
                                            [](unsigned char c) { return std::isdigit(c) != 0; });
    };
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--") {
            arguments.insert(arguments.end(), argv + i, argv + argc);
            break;
        }
        if (argument == "--bootstrap" && i + 1 < argc && isCount(argv[i + 1]))
            argument += std::string("=") + argv[++i];
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

}  // namespace varsel::cli
