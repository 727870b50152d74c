// What a run reaches besides its problem: the window it reports to (captions, messages, the
// progress bar, event processing), the engine's factory, the office application, the sink
// of a workbook's cells and the stop request. A front end fills one context per run; a refit
// (a fit of a copy of the problem, made by the library rather than a user) leaves the window
// and the cells empty.
#pragma once

#include <chrono>
#include <cstdint>

#include "varsel/Stop.h"

namespace varsel {

class IWindow;
class IEngineFactory;
class ISpreadsheetConnector;

/// Where the stages write the cells of a workbook's data sheet while the run goes on. A sink
/// may hold writes back to send them in blocks; Flush sends what it holds. The stages flush
/// at the end of every pass over the samples and of every stage, so that what the office
/// shows after a pass, a failure or a stop is what the model holds.
class CellSink {
  public:
    virtual ~CellSink() = default;
    virtual void SetNumber(std::int16_t row, std::int16_t column, double value) = 0;
    /// Clears the cell's contents and formats.
    virtual void Clear(std::int16_t row, std::int16_t column) = 0;
    virtual void Flush() {}
};

struct RunContext {
    /// Null: nothing is shown and nobody is asked.
    IWindow* Window = nullptr;
    IEngineFactory* Engine = nullptr;
    /// Null when the program was built without spreadsheet support.
    ISpreadsheetConnector* Spreadsheet = nullptr;
    /// Null: workbook cells are not written (a text file, or a refit).
    CellSink* Cells = nullptr;
    StopToken Stop;

    /// Lets the window process its pending events when it last did so 40 ms ago or more.
    /// The passes over the samples call it after every engine calculation, so that during a
    /// long fit the window repaints, shows its captions and takes a press of Stop, while the
    /// thousands of fast calculations of a short fit do not pay for an event round each.
    void KeepWindowAlive();

  private:
    std::chrono::steady_clock::time_point lastEventRound_{};
};

}  // namespace varsel
