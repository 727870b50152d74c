#include "model/ProblemModel.h"

#include "model/RuntimeFailure.h"

namespace varsel {

float ChiSquare95(std::int16_t degreesOfFreedom) {
    static constexpr float kQuantile[] = {3.841f, 5.991f, 7.815f, 9.488f,
                                          11.07f, 12.59f, 14.07f, 15.51f};
    if (degreesOfFreedom < 1 || degreesOfFreedom > 8) {
        throw RuntimeFailure(kSubscriptOutOfRange, "Subscript out of range");
    }
    return kQuantile[degreesOfFreedom - 1];
}

}  // namespace varsel
