// What the program asks of the spreadsheet application that holds workbook data files:
// attaching to it or starting it, finding and opening workbooks, reading and writing cells of
// the data sheet, and its status bar and input lock during a fit. Any call that cannot be
// carried out raises a RuntimeFailure (kSpreadsheetFailure).
#pragma once

#include <memory>
#include <string>

namespace varsel {

/// One worksheet; rows and columns are counted from 1.
class IWorksheet {
  public:
    virtual ~IWorksheet() = default;
    /// The cell's value as text; an empty cell gives the empty text.
    virtual std::string CellText(int row, int column) = 0;
    /// Stores a number as the cell's value.
    virtual void SetCellNumber(int row, int column, double value) = 0;
    /// Clears the cell's contents and formats.
    virtual void ClearCell(int row, int column) = 0;
};

/// One open workbook.
class IWorkbook {
  public:
    virtual ~IWorkbook() = default;
    /// The workbook's file name without folder.
    virtual std::string Name() = 0;
    /// The workbook's file as a full path; empty for a workbook that has no file yet.
    virtual std::string FullPath() { return std::string(); }
    /// Makes it the application's active workbook.
    virtual void Activate() = 0;
    /// Its active sheet as a worksheet; null when it has none.
    virtual std::shared_ptr<IWorksheet> ActiveWorksheet() = 0;
    /// Its first worksheet; null when it has none.
    virtual std::shared_ptr<IWorksheet> FirstWorksheet() = 0;
    /// True when the application holds it read-only (locked by another user, or a file that
    /// cannot be written): cells can be changed, but the file cannot be saved in place.
    virtual bool ReadOnly() { return false; }
};

/// The running spreadsheet application.
class ISpreadsheetApp {
  public:
    virtual ~ISpreadsheetApp() = default;
    virtual void SetVisible(bool visible) = 0;
    /// Number of open workbooks.
    virtual int WorkbookCount() = 0;
    /// Open workbook number `index`, 1 .. WorkbookCount().
    virtual std::shared_ptr<IWorkbook> Workbook(int index) = 0;
    /// The active workbook; null when there is none.
    virtual std::shared_ptr<IWorkbook> ActiveWorkbook() = 0;
    /// Opens the workbook at a full path and returns it.
    virtual std::shared_ptr<IWorkbook> OpenWorkbook(const std::string& fullPath) = 0;
    virtual bool DisplayStatusBar() = 0;
    virtual void SetDisplayStatusBar(bool display) = 0;
    /// Shows a progress text in the application's status bar.
    virtual void SetStatusBar(const std::string& text) = 0;
    /// Gives the status bar back to the application.
    virtual void ResetStatusBar() = 0;
    /// Allows or refuses user input.
    virtual void SetInteractive(bool interactive) = 0;
    virtual void SetScreenUpdating(bool updating) = 0;
};

/// Reaches the spreadsheet application.
class ISpreadsheetConnector {
  public:
    virtual ~ISpreadsheetConnector() = default;
    /// The running application; null when none is running.
    virtual std::shared_ptr<ISpreadsheetApp> Attach() = 0;
    /// Starts the application; null when it cannot be started.
    virtual std::shared_ptr<ISpreadsheetApp> Start() = 0;
    /// What the user should hear about the connection (once): a warning text, or empty. The
    /// run shows it after attaching or starting, since the connector has no window.
    virtual std::string TakeNotice() { return std::string(); }
};

}  // namespace varsel
