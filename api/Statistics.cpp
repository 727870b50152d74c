#include "varsel/Statistics.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include "model/ProblemModel.h"

namespace varsel {

double ChiSquareQuantile95(int degreesOfFreedom) {
    if (degreesOfFreedom < 1 || degreesOfFreedom > 8) {
        throw std::out_of_range("no 95 % chi-square quantile for " +
                                std::to_string(degreesOfFreedom) + " degrees of freedom");
    }
    return ChiSquare95(static_cast<std::int16_t>(degreesOfFreedom));
}

}  // namespace varsel
