// What the workbook tests need beside the backend: the options that reach the test office,
// workbook files made by the office itself, and a second connection of its own that looks at
// (and prepares) documents without going through the backend under test.
#pragma once

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <string>
#include <vector>

#include "services/uno/CalcConnector.h"

namespace varsel::test {

namespace css = ::com::sun::star;

/// The folder of the test office (profile, process id, lock record).
std::filesystem::path OfficeFolder();
/// The test office's profile as a file URL.
std::string OfficeProfileUrl();
/// Options that reach the test office.
CalcOptions OfficeOptions();

using SheetRows = std::vector<std::vector<std::string>>;

class OfficeProbe {
  public:
    /// Connects to the office listening on `pipe` (by default the test office).
    explicit OfficeProbe(const std::string& pipe = VARSEL_TEST_CALC_PIPE);

    /// Writes a workbook file (format from the extension: .xls, .xlsx or .ods) whose sheets
    /// hold `sheets`; a cell that is a number (with '.' as separator) becomes a number cell,
    /// one that starts with '=' a formula, any other a text cell.
    void MakeWorkbook(const std::filesystem::path& file, const std::vector<SheetRows>& sheets);

    /// Open documents of `file`.
    int CountOpen(const std::filesystem::path& file);
    /// The open document of `file`; fails the test when there is none.
    css::uno::Reference<css::frame::XModel> Document(const std::filesystem::path& file);
    css::uno::Reference<css::sheet::XSpreadsheet> Sheet(const std::filesystem::path& file,
                                                        int index);
    /// Opens `file` (or gives its open document) without going through the backend.
    void Open(const std::filesystem::path& file);
    /// The URL of the office's current document.
    std::string CurrentUrl();
    void SetActiveSheet(const std::filesystem::path& file, int index);
    /// Closes every open document without saving.
    void CloseAll();

    bool InputEnabled(const std::filesystem::path& file);
    bool ProgressShown(const std::filesystem::path& file);
    bool StatusBarShown(const std::filesystem::path& file);

    /// Whether the office writes and honours document lock files.
    void SetDocumentLocking(bool on);

  private:
    std::vector<css::uno::Reference<css::frame::XModel>> Documents(
        const std::filesystem::path& file);

    css::uno::Reference<css::uno::XComponentContext> office_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};

/// The lines of a text file, without their ends (CR LF or LF).
std::vector<std::string> TextLines(const std::string& bytes);
/// The cells of a text data file as a user types them into a workbook: split at tabs, blanks
/// kept, the Latin-1 plus-minus sign written in UTF-8.
SheetRows TypedRows(const std::string& bytes);

/// What a cell holds, as the office sees it.
struct CellContent {
    bool Empty = true;
    bool Number = false;  ///< a number (or a formula whose result is one)
    double Value = 0;
    std::string Text;  ///< the text of a text cell
};
CellContent ContentOf(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int row,
                      int column);

/// The office's spelling of a cell: the text it shows, and its value.
std::string ShownText(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int row,
                      int column);
double Value(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int row, int column);

}  // namespace varsel::test
