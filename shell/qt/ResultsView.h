// The results view that opens beside the main window after a run that reached a pass: the
// fitted species with their 95 % half-widths, the mean errors and the effort, the warnings
// in words, the correlation of the fitted species, and the two plots (Y against X, errors
// against X), which "Save plot" writes as PNG, SVG or PDF.
#pragma once

#include <QWidget>

#include "varsel/FitSummary.h"

class QVBoxLayout;

namespace varsel::qt {

class ResultsView final : public QWidget {
    Q_OBJECT

  public:
    /// A top-level window over a copy of `summary`; `owner` closes it when it closes.
    ResultsView(const FitSummary& summary, QWidget* owner);

    /// Writes both plots to `path` (.png, .svg or .pdf); false with `error` set otherwise.
    bool SavePlot(const QString& path, QString& error) const;

    /// Adds a panel (taken over) below the tables and plots.
    void AddPanel(QWidget* panel);

  private:
    void SavePlotClicked();

    FitSummary summary_;
    QVBoxLayout* panels_ = nullptr;
};

/// Opens the view of a run's summary beside `owner` (closing an earlier one) when the run
/// reached a pass; returns the view, or null when there is nothing to show.
ResultsView* ShowResults(QWidget& owner, const FitSummary& summary);

}  // namespace varsel::qt
