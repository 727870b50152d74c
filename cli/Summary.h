// The short summary the command line prints after results were saved: the fitted species
// with their confidence half-widths, the mean error before and after the fit, and the
// warnings on strongly correlated or poorly determined species.
#pragma once

#include <cstdio>

namespace varsel::cli {

/// Prints the summary of the shared model's fit to `out`.
void PrintSummary(std::FILE* out);

}  // namespace varsel::cli
