// The part of the results view that estimates intervals beyond the linear half-widths: the
// "Profile and bootstrap" button with the number of replicates, the seed and "Scale by fit",
// a progress bar and Stop while the profiles and replicates are refitted on all cores (on a
// thread of their own, so the window stays responsive), then the table of every interval,
// what each rests on, the disagreements in words, and the plots of the profiles, the
// replicates of each species and the most correlated pair.
#pragma once

#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "uncertainty/Uncertainty.h"
#include "varsel/FitSummary.h"
#include "varsel/Stop.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;
class QVBoxLayout;

namespace varsel::qt {

class ResultsView;

class UncertaintyPanel final : public QWidget {
    Q_OBJECT

  public:
    /// The panel for the run that fitted `run` on the data file at `dataPath`; its button is
    /// enabled when the fit succeeded with free species and the file is a text file.
    UncertaintyPanel(const FitSummary& run, std::string dataPath, bool ignoreLimits,
                     QWidget* parent = nullptr);
    /// Stops a computation in progress and waits for it (at most about half a second).
    ~UncertaintyPanel() override;

    bool Running() const { return worker_.joinable(); }
    /// The last result shown; null before the first one.
    const uncertainty::Result* Shown() const { return shown_.get(); }

  signals:
    /// A computation has ended (finished, failed or stopped) and its result is shown.
    void Finished();

  private:
    void StartClicked();
    void StopClicked();
    void Poll();
    void Show(const uncertainty::Result& r);

    FitSummary run_;
    std::string dataPath_;
    bool ignoreLimits_;

    QPushButton* start_;
    QPushButton* stop_;
    QSpinBox* replicates_;
    QLineEdit* seed_;
    QCheckBox* scaleByFit_;
    QProgressBar* progress_;
    QTimer* poll_;
    QWidget* results_ = nullptr;
    QVBoxLayout* layout_;

    StopSource stopSource_;
    std::thread worker_;
    std::atomic<int> done_{0}, total_{0};
    std::atomic<bool> finished_{false};
    std::unique_ptr<uncertainty::Result> computed_;  // written by the worker until finished_
    std::unique_ptr<uncertainty::Result> shown_;
};

/// Adds the panel for a run's fit to the results view (does nothing when `view` is null).
void AddUncertaintyPanel(ResultsView* view, const FitSummary& run, const std::string& dataPath,
                         bool ignoreLimits);

}  // namespace varsel::qt
