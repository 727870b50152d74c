#include "shell/Scramble.h"

#include "model/RuntimeFailure.h"

namespace varsel {

namespace {
// Positions are counted with a 16-bit index, so a text holds at most 32766 characters.
void CheckLength(const std::string& text) {
    if (text.size() > 32766) throw RuntimeFailure(kOverflow, "Overflow");
}
}  // namespace

void ScrambleText(std::string& text) {
    CheckLength(text);
    unsigned char previous = kScrambleSeed;
    for (char& c : text) {
        const auto plain = static_cast<unsigned char>(c);
        c = static_cast<char>(plain ^ previous);
        previous = plain;
    }
}

void DescrambleText(std::string& text) {
    CheckLength(text);
    unsigned char plain = kScrambleSeed;
    for (char& c : text) {
        plain = static_cast<unsigned char>(plain ^ static_cast<unsigned char>(c));
        c = static_cast<char>(plain);
    }
}

}  // namespace varsel
