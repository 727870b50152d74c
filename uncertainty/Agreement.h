// The words that say where the intervals of a species disagree. An end of the individual
// profile interval or of the bootstrap interval that lies more than kDisagreement beyond the
// linear interval at the same threshold (x* ± LinearIndividual) says that the linear
// half-width understates the uncertainty on that side; one that lies as much inside it, that
// the linear half-width overstates it. Unbounded and failed profile ends and too many failed
// replicates are said as well.
#pragma once

#include <string>
#include <vector>

#include "uncertainty/Uncertainty.h"

namespace varsel::uncertainty {

/// The flags of a result whose intervals are in place, in species order.
std::vector<std::string> DisagreementFlags(const Result& r);

}  // namespace varsel::uncertainty
