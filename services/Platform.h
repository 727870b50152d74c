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

}  // namespace varsel
