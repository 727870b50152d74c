// A series file run from the window: chosen with Browse like a data file and recognised by
// its "Files:" row, it is fitted with the window's controls put away as during a run, the
// progress of each file in the Status caption, Stop ending the fit between two engine calls,
// and the series' results view at the end.
#pragma once

#include <string>

#include "varsel/Stop.h"
#include "varsel/Window.h"

class QWidget;

namespace varsel::qt {

/// The series file that the path box names in the working folder, or empty when it names
/// none (a data file, a workbook, nothing).
std::string ChosenSeriesFile(const std::string& workFolder, const std::string& pathText);

/// Runs the series file at `path`, telling the user through `window` and showing the results
/// beside `owner`. Failures are shown in a message box. `ignoreLimits` lifts the range checks
/// of the data files.
void RunSeriesInWindow(IWindow& window, QWidget& owner, const std::string& path, StopToken stop,
                       bool ignoreLimits);

}  // namespace varsel::qt
