#include "shell/ResultsSummary.h"

#include <cmath>

#include "files/MessageText.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"

namespace varsel {

std::string ResultsSummary(const ProblemModel& m) {
    std::string text;
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        if (!m.SpeciesFree[i]) continue;
        text += Printable(m.SystemInfo.SpeciesNames[m.SpeciesIndex[i]]) + ": " +
                ShortForm(m.SpeciesValue[i]);
        if (m.SpeciesInterval[i] > 0) text += " \xC2\xB1 " + ShortForm(m.SpeciesInterval[i]);
        text += " kJ/mol\r\n";
    }
    if (m.WeightSum > 0) {
        const double weights = m.WeightSum;
        text += "Mean error: " + FixedSix(std::sqrt(m.InitialSumOfSquares / weights)) +
                " before, " +
                (m.ResultReached ? FixedSix(std::sqrt(m.ResultSumOfSquares / weights)) + " after"
                                 : std::string("after: not reached"));
    }
    return text;
}

}  // namespace varsel
