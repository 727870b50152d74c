#include "shell/InfoLabels.h"

#include <iterator>

#include "shell/Scramble.h"

namespace varsel {

namespace {

// Scrambled with kScrambleSeed; written by their codes because scrambled texts may hold
// control characters.
constexpr unsigned char kNfoStored[] = {0x0C, 0x37, 0x13, 0x01, 0x16, 0x09, 0x40, 0x0C, 0x56,
                                        0x13, 0x17, 0x01, 0x1A, 0x06, 0x01, 0x4E, 0x10};
constexpr char kNfoSuffix[] = ".1";

constexpr unsigned char kCrtStored[] = {0x0C, 0x37, 0x13, 0x01, 0x16, 0x09, 0x4C,
                                        0x44, 0x01, 0x13, 0x13, 0x09, 0x03, 0x1F,
                                        0x15, 0x17, 0x01, 0x5F, 0x0C, 0x12, 0x02};
constexpr char kCrtSuffix[] = "26";

template <std::size_t N>
std::string Caption(const unsigned char (&stored)[N], const char* suffix) {
    std::string text(std::begin(stored), std::end(stored));
    DescrambleText(text);
    return text + suffix;
}

}  // namespace

std::string NfoCaption() {
    return Caption(kNfoStored, kNfoSuffix);
}

std::string CrtCaption() {
    return Caption(kCrtStored, kCrtSuffix);
}

}  // namespace varsel
