// The data file as a grid of cells, walked row by row and cell by cell.
//
// The path in the window's path box decides the form: a workbook (".xls", ".xlsx" or ".ods")
// is found among the workbooks open in the spreadsheet application, or opened there; a text
// file (".txt") is read line by line, one line a row, cells split at tabs. Rows and columns are
// counted from 1; the counters of the cell read last are the position that the reader's messages
// name.
#pragma once

#include <cstdint>
#include <string>

#include "model/RuntimeFailure.h"

namespace varsel {

/// Chooses and opens the data source. Leaves Model().StatusCode at 0 (open), -1 (stop at
/// once: a message was shown or the path box was filled) or 2 (the file could not be opened,
/// is a folder, or the workbook has no worksheet; OpenFailure says which). Sets IsWorkbook, and
/// WorkFolder when it was empty. A workbook that the spreadsheet application cannot find or open is
/// reported in a message box with the application's reason, and ends with -1.
void OpenDataSource();

/// Why the last OpenDataSource gave 2: the path and the system's reason. Empty otherwise.
const std::string& OpenFailure();

/// Raised by NextRowCell for a row past 32767, the most the 16-bit row counter holds.
class RowCountOverflow : public RuntimeFailure {
  public:
    using RuntimeFailure::RuntimeFailure;
};

/// Starts the next row (text form: reads the next line; reading past the last line is a
/// run-time failure) and reads its first cell. Carriage returns before the line end are
/// dropped.
void NextRowCell();

/// Text form: true when the file has no line left to read. Always false for a workbook.
bool EndOfText();

/// Reads the next cell of the current row.
void NextCell();

/// Workbook form: stores a number in a cell of the data sheet.
void WriteCell(std::int16_t row, std::int16_t column, float value);

/// Workbook form: stores a double (a mean error, for example) in a cell of the data sheet.
void WriteCellNumber(std::int16_t row, std::int16_t column, double value);

/// Workbook form: clears a cell of the data sheet (contents and formats).
void ClearCell(std::int16_t row, std::int16_t column);

/// Text form: closes the text file. The workbook stays open.
void CloseDataSource();

/// The text of the cell read last.
const std::string& CurrentCell();
/// Row and column counters of the cell read last.
std::int16_t CurrentRow();
std::int16_t CurrentColumn();

/// True when a path names a workbook: it ends in ".xls", ".xlsx" or ".ods", any letter case.
bool IsWorkbookPath(const std::string& path);

/// The platform's folder separator, which WorkFolder ends with.
char FolderSeparator();

/// Forgets the open source (for tests).
void ResetDataSource();

}  // namespace varsel
