// The pieces of the outside world that a run reaches: the main window, the thermodynamic
// engine's factory and the spreadsheet application. The shell (window or command line) fills
// them at start-up; tests put recorders and scripted engines in their place.
#pragma once

namespace varsel {

class IWindow;
class IEngineFactory;
class ISpreadsheetConnector;

struct Platform {
    IWindow* Window = nullptr;
    IEngineFactory* Engine = nullptr;
    /// Null when the program was built without spreadsheet support.
    ISpreadsheetConnector* Spreadsheet = nullptr;
};

/// The program-wide platform; set once by the shell.
Platform& ThePlatform();

/// Lets the window process its pending events when it last did so 40 ms ago or more. The
/// passes over the samples call it after every engine calculation, so that during a long fit
/// the window repaints, shows its captions and takes a press of Stop, while the thousands of
/// fast calculations of a short fit do not pay for an event round each.
void KeepWindowAlive();

}  // namespace varsel
