// A worksheet of a Calc workbook: cells read as text, numbers written, cells cleared.
//
// Every call to the office costs a round trip of about half a millisecond, so reading goes in
// blocks of rows of the sheet's used area, kept until a write could have changed them, and
// blocks of cells are written in one call each. Numbers
// are spelled the way the program reads numbers (its decimal separator, up to 15 significant
// digits), so a number cell always passes the program's numeric test whatever the cell's
// display format; text cells give their text as it stands.
#pragma once

#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "services/Spreadsheet.h"
#include "services/uno/CalcSession.h"

namespace varsel::calc {

class CalcSheet : public IWorksheet {
  public:
    CalcSheet(std::shared_ptr<CalcSession> session,
              css::uno::Reference<css::sheet::XSpreadsheet> sheet);

    std::string CellText(int row, int column) override;
    void SetCellNumber(int row, int column, double value) override;
    void ClearCell(int row, int column) override;
    /// One call: the block's data array.
    void SetCellBlock(int row, int column, int rows, int columns,
                      const std::vector<std::optional<double>>& values) override;
    /// One call on the block's range.
    void ClearBlock(int row, int column, int rows, int columns) override;

    /// Rows read from the office in one call.
    static constexpr int kBlockRows = 128;
    /// Columns read in blocks; cells further right are read one by one.
    static constexpr int kBlockColumns = 256;

  private:
    void LoadShape();
    css::uno::Reference<css::sheet::XCellRangeData> Range(int row, int column, int rows,
                                                          int columns);
    const std::vector<std::string>& Block(int index);
    std::string ReadOne(int row, int column);
    // The office's object of a cell. A fit writes the same cells pass after pass; keeping
    // their objects saves one round trip to the office per write.
    const css::uno::Reference<css::table::XCell>& Cell(int row, int column);
    // Puts `text` in the cached copy of a cell just written, or forgets the cache when the
    // write may have changed other cells (formulas) or the used area.
    void AfterWrite(int row, int column, const std::string& text);

    std::shared_ptr<CalcSession> session_;
    css::uno::Reference<css::sheet::XSpreadsheet> sheet_;
    bool shapeKnown_ = false;
    int usedRows_ = 0;
    int usedColumns_ = 0;
    bool hasFormulas_ = false;
    std::map<int, std::vector<std::string>> blocks_;
    std::map<std::pair<int, int>, css::uno::Reference<css::table::XCell>> cells_;
};

}  // namespace varsel::calc
