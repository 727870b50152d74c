// The cells of a workbook's data sheet as the stages write them during a run, sent to the
// office in blocks.
//
// Every call to the office is a round trip of about half a millisecond, and a fit writes three
// or four cells of every sample row in every pass: one call per cell, a 2,400-row workbook
// spent most of its run on them. The writes are held back and sent as rectangles of
// neighbouring cells, one call each, when the stages flush (at the end of every pass and
// stage) or when the oldest write held is half a second old, so that the office still shows a
// long pass as it goes.
//
// A clear takes the cell's formats with its contents. A cell whose formats this run has
// cleared already has none to lose (the office takes no input during the fit), so a later
// clear of it only empties it, and goes in one block with the numbers beside it.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "model/ProblemModel.h"
#include "services/RunContext.h"

namespace varsel {

class DataSheetCells : public CellSink {
  public:
    explicit DataSheetCells(const ProblemModel& m) : m_(m) {}
    /// Fails (kInvalidOperation) at once for a value that is not a finite number.
    void SetNumber(std::int16_t row, std::int16_t column, double value) override;
    void Clear(std::int16_t row, std::int16_t column) override;
    void Flush() override;

  private:
    using Position = std::pair<int, int>;  // row, column
    struct Pending {
        bool clearFormats = false;  // first clear contents and formats
        bool write = false;         // then write `value`: a number, or empty contents
        std::optional<double> value;
    };
    Pending& Hold(std::int16_t row, std::int16_t column);

    const ProblemModel& m_;
    std::map<Position, Pending> pending_;  // in row order, then column order
    std::set<Position> formatsCleared_;
    std::chrono::steady_clock::time_point oldest_;
};

}  // namespace varsel
