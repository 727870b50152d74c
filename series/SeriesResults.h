// What a series fit shows and writes: the parameters in the units of the database with their
// half-widths, covariance and correlation, the warnings, each file's values from its own fit
// and from the series, the fitted curves of G°(T) with their 95 % bands, and the database
// entries with their comments.
#pragma once

#include <vector>

#include "series/OutputDatabase.h"
#include "series/SeriesFits.h"
#include "series/SeriesModel.h"
#include "varsel/Series.h"

namespace varsel::series {

/// Fills the summary from a successful fit. The files must have been evaluated at the fitted
/// parameters (EvaluateAt). `energyUnit` (J) is that of the database's entries.
void Summarize(const Model& model, const std::vector<OwnFit>& own, const SeriesFit& fit,
               double energyUnit, SeriesSummary& summary);

/// The files' own fits alone, for a summary whose series fit failed.
void SummarizeOwnFits(const Model& model, const std::vector<OwnFit>& own, SeriesSummary& summary);

/// The fitted entries with their comments: ΔfH° moved with ΔfG° and S° so that the entry stays
/// consistent (H_new = H_old + (G_new − G_old) + 298.15 K·(S_new − S_old)), V° and Cp°, where
/// the entry gives them, recomputed from the new parameters.
std::vector<EntryUpdate> FittedEntries(const SeriesFile& series, const Model& model,
                                       const SeriesFit& fit, const SeriesSummary& summary,
                                       const std::string& date);

}  // namespace varsel::series
