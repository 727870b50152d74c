// The plots of a series fit, drawn with Qt Charts for the results view and the report files:
// for each fitted species its standard potential against temperature — every file's own
// fitted value with its 95 % half-width as a bar, and the series' fitted curve with its 95 %
// band — and the same less the series' values, where bars and band of a few tenths of a
// kJ/mol show beside a range of tens; then the errors of all samples at the series'
// parameters against X, one colour per file.
#pragma once

#include <QByteArray>
#include <QString>

#include "varsel/Series.h"

class QChart;

namespace varsel::report {

/// The number of plots: two per fitted species (G° and its deviations), then the errors.
int SeriesPlotCount(const SeriesSummary& s);

/// A new chart (the caller owns it): plot `which` of SeriesPlotCount.
QChart* MakeSeriesChart(const SeriesSummary& s, int which);

/// One plot as a standalone SVG document.
QByteArray SeriesPlotSvg(const SeriesSummary& s, int which);

/// Writes every plot, one above the other, as PNG, SVG or PDF after the file name's ending.
/// False with `error` set when the ending is none of these or the file cannot be written.
bool SaveSeriesPlots(const SeriesSummary& s, const QString& path, QString& error);

}  // namespace varsel::report
