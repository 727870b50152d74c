// The run that one press of the start button makes: read the data file, set the engine's
// switch, fit the species values, save the results, and end by restoring the window and
// releasing every engine and spreadsheet object. Both the window and the command line call
// it; it talks to the user only through ThePlatform().Window.
#pragma once

#include <string>

namespace varsel {

class IWindow;

/// Runs the whole sequence on the data file named in the window's path box. Returns true when
/// the results were saved (after a successful fit, or a failed one the user chose to save).
bool RunSequence();

/// Ends a run that stopped by an exception no stage expected: clears the drawing, closes the
/// data source, tells the user why on `window`, records the failure in the shared model and
/// ends the run as EndRun does.
void EndUnexpectedly(IWindow& window, const std::string& reason);

/// Ends a run, whatever stopped it: shows the start button again, enables the browse button
/// and the path box, and releases every engine and spreadsheet object (the spreadsheet
/// application and its workbook stay open), and forgets a stop request. RunSequence ends
/// with it; a shell calls it after a run that ended by an exception.
void EndRun();

}  // namespace varsel
