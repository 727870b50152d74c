// The short summary the command line prints after results were saved: the fitted species
// with their confidence half-widths, the mean error before and after the fit, and the
// warnings on strongly correlated or poorly determined species.
#pragma once

#include <cstdio>

#include "varsel/FitSummary.h"

namespace varsel::cli {

/// Prints the summary of a fit to `out`.
void PrintSummary(const FitSummary& summary, std::FILE* out);

}  // namespace varsel::cli
