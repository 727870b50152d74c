// The results view that opens beside the main window after a run that reached a pass: the
// fitted species with their 95 % half-widths, the mean errors and the effort, the warnings
// in words, the correlation of the fitted species, the pH and titrant of every sample when
// the fit imposed a pH, and the two plots (Y against X, errors against X), which "Save plot"
// writes as PNG (at 300 dpi for print, or at screen resolution), SVG or PDF, in the data
// file's folder unless the user goes elsewhere.
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

    /// Writes both plots to `path` (.png, .svg or .pdf; a PNG at `dpi` dots per inch); false
    /// with `error` set otherwise.
    bool SavePlot(const QString& path, QString& error, int dpi = 96) const;

    /// Adds a panel (taken over) below the tables and plots.
    void AddPanel(QWidget* panel);

  private:
    void SavePlotClicked();

    FitSummary summary_;
    QVBoxLayout* panels_ = nullptr;
};

/// Opens the view of a run's summary beside `owner` (closing an earlier one) when the run
/// reached a pass, wholly on the screen that holds `owner`: beside it where there is room,
/// otherwise over part of it, and no larger than the screen. Returns the view, or null when
/// there is nothing to show.
ResultsView* ShowResults(QWidget& owner, const FitSummary& summary);

}  // namespace varsel::qt
