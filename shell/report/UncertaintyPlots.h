// The plots of the intervals, drawn with Qt Charts for the window and the HTML report: the
// profile of every fitted species (S(v) − S_R against v − x*) with both thresholds, a
// histogram of every species over the bootstrap replicates with its percentiles, and the
// replicates of the most correlated pair of species as points.
#pragma once

#include <QByteArray>

#include "uncertainty/Uncertainty.h"

class QChart;

namespace varsel::report {

/// A new chart of the profiles, or null when none was traced; the caller owns it.
QChart* MakeProfileChart(const uncertainty::Result& r);

/// A new histogram of species p over the replicates, or null without a bootstrap.
QChart* MakeHistogramChart(const uncertainty::Result& r, std::size_t p);

/// A new scatter of the replicates of the two species whose replicate values correlate most,
/// or null with fewer than two species or no bootstrap.
QChart* MakePairChart(const uncertainty::Result& r);

/// A chart (taken over and deleted) as a standalone SVG document of the report's plot size.
QByteArray ChartSvg(QChart* chart);

}  // namespace varsel::report
