// The data file as a grid of cells, walked row by row and cell by cell.
//
// The path in the window's path box decides the form: a workbook (".xls") is found among the
// workbooks open in the spreadsheet application, or opened there; a text file (".txt") is
// read line by line, one line a row, cells split at tabs. Rows and columns are counted from
// 1; the counters of the cell read last are the position that the reader's messages name.
#pragma once

#include <cstdint>
#include <string>

namespace varsel {

/// Chooses and opens the data source. Leaves Model().StatusCode at 0 (open), -1 (stop at
/// once: a message was shown or the path box was filled) or 2 (the file could not be opened
/// or the workbook has no worksheet). Sets IsWorkbook, and WorkFolder when it was empty.
void OpenDataSource();

/// Starts the next row (text form: reads the next line; reading past the last line is a
/// run-time failure) and reads its first cell.
void NextRowCell();

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

/// True when a path names a workbook.
bool IsWorkbookPath(const std::string& path);

/// The platform's folder separator, which WorkFolder ends with.
char FolderSeparator();

/// Forgets the open source (for tests).
void ResetDataSource();

}  // namespace varsel
