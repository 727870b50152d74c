#include "model/DataSheetCells.h"

#include <cmath>
#include <string>
#include <vector>

#include "model/RuntimeFailure.h"
#include "services/Spreadsheet.h"

namespace varsel {

namespace {

// Long enough to gather a pass's rows into a few blocks, short enough that the office
// shows a long pass as it goes.
constexpr std::chrono::milliseconds kLongestHold{500};

struct Block {
    int Row, Column, Rows, Columns;
};

// The cells (in row order, then column order) as rectangles: each run of neighbouring cells
// in a row, joined to the block of the same columns that ends in the row above.
std::vector<Block> Blocks(const std::vector<std::pair<int, int>>& cells) {
    std::vector<Block> blocks;
    std::map<std::pair<int, int>, std::size_t> byColumns;  // first column, count → block
    for (std::size_t i = 0; i < cells.size();) {
        const auto [row, first] = cells[i];
        int last = first;
        for (++i; i < cells.size() && cells[i].first == row && cells[i].second == last + 1; ++i)
            ++last;
        const std::pair<int, int> columns{first, last - first + 1};
        const auto found = byColumns.find(columns);
        if (found != byColumns.end() &&
            blocks[found->second].Row + blocks[found->second].Rows == row) {
            ++blocks[found->second].Rows;
        } else {
            byColumns[columns] = blocks.size();
            blocks.push_back({row, first, 1, columns.second});
        }
    }
    return blocks;
}

}  // namespace

DataSheetCells::Pending& DataSheetCells::Hold(std::int16_t row, std::int16_t column) {
    const auto now = std::chrono::steady_clock::now();
    if (pending_.empty()) {
        oldest_ = now;
    } else if (now - oldest_ >= kLongestHold) {
        Flush();
        oldest_ = now;
    }
    return pending_[{row, column}];
}

void DataSheetCells::SetNumber(std::int16_t row, std::int16_t column, double value) {
    if (!std::isfinite(value)) {
        throw RuntimeFailure(kInvalidOperation, "Cell (" + std::to_string(row) + ", " +
                                                    std::to_string(column) +
                                                    ") cannot take a value that is not a number");
    }
    Pending& cell = Hold(row, column);
    cell.write = true;
    cell.value = value;
}

void DataSheetCells::Clear(std::int16_t row, std::int16_t column) {
    Pending& cell = Hold(row, column);
    if (formatsCleared_.insert({row, column}).second) {
        cell = Pending{true, false, std::nullopt};
    } else {
        cell.write = true;
        cell.value.reset();
    }
}

void DataSheetCells::Flush() {
    if (pending_.empty()) return;
    // What was held leaves the queue whether or not the office takes it.
    std::map<Position, Pending> pending;
    pending.swap(pending_);
    if (!m_.DataSheet) throw RuntimeFailure(kSpreadsheetFailure, "No data sheet");
    std::vector<Position> clears, writes;
    for (const auto& [position, cell] : pending) {
        if (cell.clearFormats) clears.push_back(position);
        if (cell.write) writes.push_back(position);
    }
    for (const Block& b : Blocks(clears))
        m_.DataSheet->ClearBlock(b.Row, b.Column, b.Rows, b.Columns);
    for (const Block& b : Blocks(writes)) {
        std::vector<std::optional<double>> values;
        for (int r = 0; r < b.Rows; ++r) {
            for (int c = 0; c < b.Columns; ++c)
                values.push_back(pending.at({b.Row + r, b.Column + c}).value);
        }
        m_.DataSheet->SetCellBlock(b.Row, b.Column, b.Rows, b.Columns, values);
    }
}

}  // namespace varsel
