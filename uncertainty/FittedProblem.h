// The problem of a run that has ended, for its intervals: the data file read again, with the
// species the run fitted free and starting at the values it found. The run may have written
// its results into the file, which fixes those species on a new read; freeing them again
// gives the problem the run fitted, and the refit from its optimum ends where the run did.
#pragma once

#include <string>

#include "varsel/FitSummary.h"
#include "varsel/Problem.h"

namespace varsel::uncertainty {

/// Reads the text data file at `path` and frees the species of `run` at its values. Throws
/// OpenError when the file cannot be read (a workbook among others) and std::runtime_error
/// when a species of the run is not in the file any more.
Problem ReopenAtFit(const std::string& path, bool ignoreLimits, const FitSummary& run);

}  // namespace varsel::uncertainty
