#include "services/uno/CalcSheet.h"

#include <algorithm>
#include <cmath>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSheetOperation.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <utility>

#include "model/Numbers.h"

namespace varsel::calc {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY_THROW;

namespace {

std::string Position(int row, int column) {
    // Appended piece by piece: GCC 12 misreads a literal prepended to a temporary string.
    std::string text = "(";
    text += std::to_string(row);
    text += ", ";
    text += std::to_string(column);
    text += ')';
    return text;
}

void CheckPosition(int row, int column) {
    if (row < 1 || column < 1) {
        throw RuntimeFailure(kInvalidCall, "No such cell " + Position(row, column) +
                                               ": rows and columns count from 1");
    }
}

void CheckBlock(int row, int column, int rows, int columns, std::size_t values) {
    CheckPosition(row, column);
    if (rows < 1 || columns < 1 || values != static_cast<std::size_t>(rows) * columns) {
        throw RuntimeFailure(kInvalidCall, "A block of cells at " + Position(row, column) +
                                               " needs rows, columns and a value for each cell");
    }
}

// What a clear takes: contents and formats; notes and drawing objects belong to the user and
// stay.
constexpr sal_Int32 kClearedFlags =
    css::sheet::CellFlags::VALUE | css::sheet::CellFlags::DATETIME | css::sheet::CellFlags::STRING |
    css::sheet::CellFlags::FORMULA | css::sheet::CellFlags::HARDATTR |
    css::sheet::CellFlags::STYLES | css::sheet::CellFlags::EDITATTR |
    css::sheet::CellFlags::FORMATTED;

}  // namespace

CalcSheet::CalcSheet(std::shared_ptr<CalcSession> session,
                     Reference<css::sheet::XSpreadsheet> sheet)
    : session_(std::move(session)), sheet_(std::move(sheet)) {}

void CalcSheet::LoadShape() {
    const Reference<css::sheet::XSheetCellCursor> cursor = sheet_->createCursor();
    const Reference<css::sheet::XUsedAreaCursor> used(cursor, UNO_QUERY_THROW);
    used->gotoEndOfUsedArea(false);
    const css::table::CellRangeAddress end =
        Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
    usedRows_ = end.EndRow + 1;
    usedColumns_ = end.EndColumn + 1;
    // Formulas may depend on the cells the program writes; their cached results would then go
    // stale, so such sheets are read again after every write.
    const Reference<css::sheet::XSheetCellRanges> formulas =
        Reference<css::sheet::XCellRangesQuery>(sheet_, UNO_QUERY_THROW)
            ->queryContentCells(css::sheet::CellFlags::FORMULA);
    hasFormulas_ = formulas.is() && formulas->getCount() > 0;
    blocks_.clear();
    shapeKnown_ = true;
}

std::string CalcSheet::ReadOne(int row, int column) {
    const Reference<css::sheet::XCellRangeData> data(
        sheet_->getCellRangeByPosition(column - 1, row - 1, column - 1, row - 1), UNO_QUERY_THROW);
    const Any value = data->getDataArray()[0][0];
    double number = 0;
    rtl::OUString text;
    if ((value >>= number) && std::isfinite(number)) return ShortForm(number);
    if (value >>= text) return ToUtf8(text);
    // A formula whose result is an error: the error as the cell shows it.
    const Reference<css::text::XTextRange> cell(sheet_->getCellByPosition(column - 1, row - 1),
                                                UNO_QUERY_THROW);
    return ToUtf8(cell->getString());
}

const std::vector<std::string>& CalcSheet::Block(int index) {
    const auto found = blocks_.find(index);
    if (found != blocks_.end()) return found->second;
    const int firstRow = index * kBlockRows;  // counted from 0, as the office counts
    const int lastRow = std::min(usedRows_, firstRow + kBlockRows) - 1;
    const int columns = std::min(usedColumns_, kBlockColumns);
    const Reference<css::sheet::XCellRangeData> range(
        sheet_->getCellRangeByPosition(0, firstRow, columns - 1, lastRow), UNO_QUERY_THROW);
    const Sequence<Sequence<Any>> rows = range->getDataArray();
    std::vector<std::string> texts(static_cast<std::size_t>((lastRow - firstRow + 1) * columns));
    for (sal_Int32 r = 0; r < rows.getLength(); ++r) {
        const Sequence<Any>& cells = rows[r];
        for (sal_Int32 c = 0; c < cells.getLength() && c < columns; ++c) {
            std::string& text = texts[static_cast<std::size_t>(r * columns + c)];
            double number = 0;
            rtl::OUString string;
            if ((cells[c] >>= number) && std::isfinite(number)) {
                text = ShortForm(number);
            } else if (cells[c] >>= string) {
                text = ToUtf8(string);
            } else {
                text = ReadOne(firstRow + r + 1, c + 1);
            }
        }
    }
    return blocks_.emplace(index, std::move(texts)).first->second;
}

std::string CalcSheet::CellText(int row, int column) {
    CheckPosition(row, column);
    return Calling("read cell " + Position(row, column), [&] {
        if (!shapeKnown_) LoadShape();
        if (row > usedRows_ || column > usedColumns_) return std::string();
        if (column > kBlockColumns) return ReadOne(row, column);
        const int columns = std::min(usedColumns_, kBlockColumns);
        const std::vector<std::string>& block = Block((row - 1) / kBlockRows);
        return block[static_cast<std::size_t>(((row - 1) % kBlockRows) * columns + column - 1)];
    });
}

void CalcSheet::AfterWrite(int row, int column, const std::string& text) {
    if (!shapeKnown_) return;
    if (row > usedRows_ || column > usedColumns_) {
        shapeKnown_ = false;
        blocks_.clear();
        return;
    }
    if (hasFormulas_) {
        blocks_.clear();
        return;
    }
    if (column > kBlockColumns) return;
    const auto found = blocks_.find((row - 1) / kBlockRows);
    if (found == blocks_.end()) return;
    const int columns = std::min(usedColumns_, kBlockColumns);
    found->second[static_cast<std::size_t>(((row - 1) % kBlockRows) * columns + column - 1)] = text;
}

void CalcSheet::SetCellNumber(int row, int column, double value) {
    CheckPosition(row, column);
    if (!std::isfinite(value)) {
        throw RuntimeFailure(kInvalidOperation, "Cell " + Position(row, column) +
                                                    " cannot take a value that is not a number");
    }
    Calling("write cell " + Position(row, column), [&] { Cell(row, column)->setValue(value); });
    AfterWrite(row, column, ShortForm(value));
}

const Reference<css::table::XCell>& CalcSheet::Cell(int row, int column) {
    Reference<css::table::XCell>& cell = cells_[{row, column}];
    if (!cell.is()) cell = sheet_->getCellByPosition(column - 1, row - 1);
    return cell;
}

void CalcSheet::ClearCell(int row, int column) {
    CheckPosition(row, column);
    Calling("clear cell " + Position(row, column), [&] {
        const Reference<css::sheet::XSheetOperation> cell(Cell(row, column), UNO_QUERY_THROW);
        cell->clearContents(kClearedFlags);
    });
    AfterWrite(row, column, std::string());
}

void CalcSheet::SetCellBlock(int row, int column, int rows, int columns,
                             const std::vector<std::optional<double>>& values) {
    CheckBlock(row, column, rows, columns, values.size());
    Sequence<Sequence<Any>> data(rows);
    Sequence<Any>* dataRows = data.getArray();
    for (int r = 0; r < rows; ++r) {
        dataRows[r].realloc(columns);
        Any* cells = dataRows[r].getArray();
        for (int c = 0; c < columns; ++c) {
            const std::optional<double>& value = values[static_cast<std::size_t>(r * columns + c)];
            if (value && !std::isfinite(*value)) {
                throw RuntimeFailure(kInvalidOperation,
                                     "Cell " + Position(row + r, column + c) +
                                         " cannot take a value that is not a number");
            }
            // An empty text leaves the cell empty.
            cells[c] = value ? Any(*value) : Any(rtl::OUString());
        }
    }
    const std::string cells =
        Position(row, column) + " to " + Position(row + rows - 1, column + columns - 1);
    const Reference<css::sheet::XCellRangeData> range = Range(row, column, rows, columns);
    // A data array takes the notes of its range with the contents; the notes belong to the
    // user, so a block that holds one is written cell by cell.
    bool notes = false;
    Calling("look for notes in cells " + cells, [&] {
        const Reference<css::sheet::XCellRangesQuery> query(range, UNO_QUERY_THROW);
        notes = query->queryContentCells(css::sheet::CellFlags::ANNOTATION)->getCount() > 0;
    });
    if (!notes) Calling("write cells " + cells, [&] { range->setDataArray(data); });
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const std::optional<double>& value = values[static_cast<std::size_t>(r * columns + c)];
            if (notes && value) {
                SetCellNumber(row + r, column + c, *value);
                continue;
            }
            if (notes) {
                Calling("empty cell " + Position(row + r, column + c), [&] {
                    using namespace css::sheet::CellFlags;
                    const Reference<css::sheet::XSheetOperation> cell(Cell(row + r, column + c),
                                                                      UNO_QUERY_THROW);
                    cell->clearContents(VALUE | DATETIME | STRING | FORMULA);
                });
            }
            AfterWrite(row + r, column + c, value ? ShortForm(*value) : std::string());
        }
    }
}

void CalcSheet::ClearBlock(int row, int column, int rows, int columns) {
    CheckBlock(row, column, rows, columns, static_cast<std::size_t>(rows) * columns);
    Calling("clear cells " + Position(row, column) + " to " +
                Position(row + rows - 1, column + columns - 1),
            [&] {
                const Reference<css::sheet::XSheetOperation> range(
                    Range(row, column, rows, columns), UNO_QUERY_THROW);
                range->clearContents(kClearedFlags);
            });
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            AfterWrite(row + r, column + c, std::string());
    }
}

Reference<css::sheet::XCellRangeData> CalcSheet::Range(int row, int column, int rows, int columns) {
    return Reference<css::sheet::XCellRangeData>(
        sheet_->getCellRangeByPosition(column - 1, row - 1, column + columns - 2, row + rows - 2),
        UNO_QUERY_THROW);
}

}  // namespace varsel::calc
