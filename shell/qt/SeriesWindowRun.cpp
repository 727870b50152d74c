#include "shell/qt/SeriesWindowRun.h"

#include <filesystem>

#include "shell/qt/SeriesView.h"
#include "varsel/Series.h"

namespace varsel::qt {

namespace {

// The controls as a run leaves them, also when the series ends by an exception.
class RunControls {
  public:
    explicit RunControls(IWindow& window) : window_(window) { Set(false); }
    ~RunControls() { Set(true); }
    RunControls(const RunControls&) = delete;
    RunControls& operator=(const RunControls&) = delete;

  private:
    void Set(bool idle) {
        window_.SetStartVisible(idle);
        window_.SetBrowseEnabled(idle);
        window_.SetPathEnabled(idle);
    }
    IWindow& window_;
};

}  // namespace

std::string ChosenSeriesFile(const std::string& workFolder, const std::string& pathText) {
    if (pathText.empty()) return {};
    const std::filesystem::path typed(pathText);
    const std::string path =
        typed.is_absolute() ? pathText : (std::filesystem::path(workFolder) / typed).string();
    return IsSeriesFile(path) ? path : std::string();
}

void RunSeriesInWindow(IWindow& window, QWidget& owner, const std::string& path, StopToken stop,
                       bool ignoreLimits) {
    SeriesSummary summary;
    {
        const RunControls controls(window);
        window.SetStatusCaption("Reading series file...");
        window.ProcessEvents();
        try {
            const SeriesFile series = ReadSeriesFile(path);
            SeriesOptions options;
            options.Progress = [&window](const std::string& line) {
                window.SetStatusCaption(line);
            };
            options.Idle = [&window] { window.ProcessEvents(); };
            options.Stop = stop;
            options.IgnoreLimits = ignoreLimits;
            summary = RunSeries(series, options);
        } catch (const SeriesError& error) {
            window.SetStatusCaption("");
            window.ShowMessage(error.what(), MessageButtons::Ok, MessageIcon::Critical);
            return;
        }
        window.SetStatusCaption("");
    }
    if (summary.Outcome == kStoppedByUser) {
        window.ShowMessage("Series: " + summary.Outcome, MessageButtons::Ok,
                           MessageIcon::Exclamation);
    } else if (!summary.Succeeded) {
        window.ShowMessage("Series: " + summary.Outcome, MessageButtons::Ok, MessageIcon::Critical);
    } else {
        window.ShowMessage("Series fitted; database written: " + summary.OutputDatabase,
                           MessageButtons::Ok, MessageIcon::Information);
    }
    ShowSeriesResults(owner, summary);
}

}  // namespace varsel::qt
