// The command line's options for intervals beyond the data file's half-widths: --profile,
// --bootstrap[=N] (or --bootstrap N), --seed, --threads and --scale-by-fit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace varsel::cli {

struct UncertaintyRequest {
    bool Profile = false;
    int Replicates = 0;  ///< 0: no bootstrap
    std::optional<std::uint64_t> Seed;
    int Threads = 0;  ///< 0: all cores
    bool ScaleByFit = false;
    bool Wanted() const { return Profile || Replicates > 0; }
};

/// Adds the options to `app`, filling `request` when it parses.
void AddUncertaintyOptions(CLI::App& app, UncertaintyRequest& request);

/// The arguments (without the program's name) with "--bootstrap N" written as
/// "--bootstrap=N" when N is all digits, so that both forms give N replicates while
/// "--bootstrap FILE" still leaves the data file alone.
std::vector<std::string> JoinBootstrapCount(int argc, const char* const* argv);

}  // namespace varsel::cli
