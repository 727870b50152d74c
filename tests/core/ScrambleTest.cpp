// Scrambled label texts: the two routines are each other's inverse for every text, control
// characters and NUL included, and the stored captions descramble to this program's own.
#include <gtest/gtest.h>

#include <string>

#include "model/RuntimeFailure.h"
#include "shell/InfoLabels.h"
#include "shell/Scramble.h"

namespace varsel {
namespace {

TEST(ScrambleTest, RoundTripsEveryByte) {
    std::string plain;
    for (int c = 0; c < 512; ++c)
        plain.push_back(static_cast<char>(c * 7));
    std::string text = plain;
    ScrambleText(text);
    EXPECT_NE(text, plain);
    DescrambleText(text);
    EXPECT_EQ(text, plain);
    // And the other way round: scrambling the descrambled form gives the stored form.
    DescrambleText(text);
    ScrambleText(text);
    EXPECT_EQ(text, plain);
}

TEST(ScrambleTest, TextsBeyondThe16BitIndexFail) {
    std::string longest(32766, 'a');
    EXPECT_NO_THROW(ScrambleText(longest));
    std::string tooLong(32767, 'a');
    EXPECT_THROW(ScrambleText(tooLong), RuntimeFailure);
    EXPECT_THROW(DescrambleText(tooLong), RuntimeFailure);
}

TEST(ScrambleTest, StoredCaptionsAreThisProgramsOwn) {
    EXPECT_EQ(NfoCaption(), "Varsel, version 0.1");
    EXPECT_EQ(CrtCaption(), "Varsel developers, 2026");
}

}  // namespace
}  // namespace varsel
