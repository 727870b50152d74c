// The outcome of a fit as a few lines of text, for a run whose results are shown rather than
// written to the data file: each free species with its fitted value and half-width, and the
// mean errors before and after.
#pragma once

#include <string>

namespace varsel {

struct ProblemModel;

/// Lines separated by CR LF, from `m`; numbers in the short form, mean errors in the
/// "0.000000" pattern.
std::string ResultsSummary(const ProblemModel& m);

}  // namespace varsel
