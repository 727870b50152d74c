#include "model/Layout.h"

#include "model/Checked.h"

namespace varsel::layout {

std::int16_t FixedPmcRow(int i) {
    return CheckedInt16(7 + i);
}

std::int16_t SpeciesRow(const ProblemModel& m, int i) {
    return CheckedInt16(8 + m.FixedPmcCount + i);
}

std::int16_t MeanErrorRow(const ProblemModel& m) {
    return CheckedInt16(9 + m.FixedPmcCount + m.SpeciesCount);
}

std::int16_t SampleRow(const ProblemModel& m, int k) {
    return CheckedInt16(13 + m.FixedPmcCount + m.SpeciesCount + k);
}

std::int16_t SampleCell(const ProblemModel& m, SampleColumn column) {
    const int ph = m.PhColumn != 0 ? 1 : 0;
    return CheckedInt16(m.SamplePmcCount + ph + m.FormulaCount + static_cast<int>(column));
}

}  // namespace varsel::layout
