// The results view of a series fit, beside the main window: how the fit went, the warnings,
// the fitted parameters with their 95 % half-widths, their correlation and covariance, each
// file's values from its own fit and from the series, the rules that applied, and the plots (G°
// against T per species, its deviations, the errors of all samples), which "Save plot" writes as
// PNG, SVG or PDF.
#pragma once

#include <QWidget>

#include "varsel/Series.h"

namespace varsel::qt {

class SeriesView final : public QWidget {
    Q_OBJECT

  public:
    /// A top-level window over a copy of `summary`; `owner` closes it when it closes.
    SeriesView(const SeriesSummary& summary, QWidget* owner);

    /// Writes all plots to `path` (.png, .svg or .pdf); false with `error` set otherwise.
    bool SavePlot(const QString& path, QString& error) const;

  private:
    void SavePlotClicked();

    SeriesSummary summary_;
};

/// Opens the view of a series beside `owner` (closing an earlier one) when there is anything
/// to show; returns the view, or null.
SeriesView* ShowSeriesResults(QWidget& owner, const SeriesSummary& summary);

}  // namespace varsel::qt
