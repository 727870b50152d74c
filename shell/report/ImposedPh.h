// The measured pH that a fit imposed on its samples and the titrant the engine added to meet
// it, as the HTML report and the results view show them: one row per sample.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "varsel/FitSummary.h"

namespace varsel::report {

/// Column titles, then one row of cell texts per sample: the sample, its pH ("–" where none
/// was imposed), the titrant added (its formula) and the amount (mol/kg). Empty when the fit
/// imposed no pH.
std::vector<std::vector<std::string>> ImposedPhRows(const FitSummary& s);

/// The HTML page's section: a heading and the table of ImposedPhRows; empty without a pH.
QString ImposedPhHtml(const FitSummary& s);

}  // namespace varsel::report
