// What the run-time failure an action raises says: its number and its text (number 0 and no
// text when the action raises none), so that a test of a refusal is one comparison.
#pragma once

#include <string>

#include "model/RuntimeFailure.h"

namespace varsel::test {

struct Raised {
    int Number = 0;
    std::string Text;
};

inline Raised RaisedBy(const auto& action) {
    try {
        action();
    } catch (const RuntimeFailure& failure) {
        return {failure.Number(), failure.what()};
    }
    return {};
}

}  // namespace varsel::test
