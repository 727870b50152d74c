// The results view's section on an imposed pH: per sample the pH and the titrant the engine
// added to meet it.
#pragma once

#include <QWidget>

#include "varsel/FitSummary.h"

namespace varsel::qt {

/// A heading and a table of the samples' pH and titrant; null when the fit imposed no pH.
QWidget* ImposedPhSection(const FitSummary& s);

}  // namespace varsel::qt
