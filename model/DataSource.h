// The data file as a grid of cells, walked row by row and cell by cell.
//
// The path in the window's path box decides the form: a workbook (".xls", ".xlsx" or ".ods")
// is found among the workbooks open in the spreadsheet application, or opened there; a text
// file (".txt") is read line by line, one line a row, cells split at tabs. Rows and columns are
// counted from 1; the counters of the cell read last are the position that the reader's messages
// name.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "model/ProblemModel.h"
#include "model/RuntimeFailure.h"
#include "services/RunContext.h"

namespace varsel {

/// Raised by NextRowCell for a row past 32767, the most the 16-bit row counter holds.
class RowCountOverflow : public RuntimeFailure {
  public:
    using RuntimeFailure::RuntimeFailure;
};

/// The open data file of one reading. The reader owns it for the time it reads; a workbook's
/// objects go into the problem (ExcelApp, DataWorkbook, DataSheet) and outlive it.
class DataSource {
  public:
    DataSource(ProblemModel& m, RunContext& context) : m_(m), context_(context) {}

    /// Chooses and opens the data source named in the window's path box. Leaves StatusCode
    /// at 0 (open), -1 (stop at once: a message was shown or the path box was filled) or 2
    /// (the file could not be opened, is a folder, or the workbook has no worksheet;
    /// OpenFailure says which). Sets IsWorkbook, DataPath and DataFile (ResolveDataPath), and
    /// WorkFolder: the current folder when it was empty, the data file's folder when the path
    /// box held an absolute or "~/" path. A workbook that the spreadsheet application cannot find
    /// or open is reported in a message box with the application's reason, and ends with -1.
    void Open();

    /// Why the last Open gave 2: the path and the system's reason. Empty otherwise.
    const std::string& OpenFailure() const { return openFailure_; }

    /// Starts the next row (text form: reads the next line; reading past the last line is a
    /// run-time failure) and reads its first cell. Carriage returns before the line end are
    /// dropped.
    void NextRowCell();

    /// Text form: true when the file has no line left to read. Always false for a workbook.
    bool EndOfText();

    /// Reads the next cell of the current row.
    void NextCell();

    /// Text form: the bytes of the file from the start of the current row to its end, as
    /// they stand in the file.
    std::string TextFromCurrentRow();

    /// Text form: closes the text file. The workbook stays open.
    void Close();

    /// The text of the cell read last.
    const std::string& CurrentCell() const { return cell_; }
    /// Row and column counters of the cell read last.
    std::int16_t CurrentRow() const { return row_; }
    std::int16_t CurrentColumn() const { return column_; }

  private:
    void AdoptActiveWorkbook();
    void OpenWorkbookSource(const std::string& path);
    /// Shows what the office connector has to tell the user, if anything.
    void ShowNotice();
    void FindOrOpenWorkbook(ISpreadsheetApp& app, const std::string& path);
    void CannotOpen(const std::string& path, int error);

    ProblemModel& m_;
    RunContext& context_;
    std::int16_t row_ = 0;
    std::int16_t column_ = 0;
    std::string lineBuffer_;
    std::string cell_;
    std::ifstream file_;
    std::streampos lineStart_ = 0;  // where the current row's line begins in the text file
    std::string openFailure_;
};

/// The cells of the problem's data sheet as the stages write them during a workbook run.
class DataSheetCells : public CellSink {
  public:
    explicit DataSheetCells(const ProblemModel& m) : m_(m) {}
    void SetNumber(std::int16_t row, std::int16_t column, double value) override;
    void Clear(std::int16_t row, std::int16_t column) override;

  private:
    const ProblemModel& m_;
};

/// Workbook form: stores a number in a cell of the data sheet through the run's sink
/// (nothing when the run has none).
void WriteCell(RunContext& context, std::int16_t row, std::int16_t column, float value);

/// Workbook form: stores a double (a mean error, for example) in a cell of the data sheet.
void WriteCellNumber(RunContext& context, std::int16_t row, std::int16_t column, double value);

/// Workbook form: clears a cell of the data sheet (contents and formats).
void ClearCell(RunContext& context, std::int16_t row, std::int16_t column);

/// True when a path names a workbook: it ends in ".xls", ".xlsx" or ".ods", any letter case.
bool IsWorkbookPath(const std::string& path);

/// The file a path box's text names: an absolute path as it is, "~" or "~/…" in the user's
/// home folder, anything else in `folder` (which ends with the folder separator).
std::string ResolveDataPath(const std::string& folder, const std::string& path);

/// The platform's folder separator, which WorkFolder ends with.
char FolderSeparator();

}  // namespace varsel
