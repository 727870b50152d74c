// The two plots of a fit, drawn with Qt Charts for the window's results view and for the
// report files alike: the measured Y as points and the calculated Y as a line against X, and
// the errors (Y(calc) − Y(exp)) against X. The axis titles are the data file's axis texts.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include "varsel/FitSummary.h"

class QPainter;
class QRectF;

class QChart;

namespace varsel::report {

/// A new chart of Y(exp) and Y(calc) against X; the caller owns it.
QChart* MakeFitChart(const FitSummary& s);

/// A new chart of the errors against X; the caller owns it.
QChart* MakeErrorChart(const FitSummary& s);

/// The size of one plot in the report files, in pixels (points for a PDF).
inline constexpr QSize kPlotSize{720, 420};

/// Draws one chart into `target` of `painter`.
void RenderChart(QChart& chart, QPainter& painter, const QRectF& target);

/// One plot (0: Y against X, 1: errors against X) as a standalone SVG document.
QByteArray PlotSvg(const FitSummary& s, int which);

/// Writes both plots, one above the other, as PNG, SVG or PDF after the file name's ending, as
/// WriteFile writes (a symbolic link at `path` is refused). False with `error` set when the
/// ending is none of these or the file cannot be written.
bool SavePlots(const FitSummary& s, const QString& path, QString& error);

}  // namespace varsel::report
