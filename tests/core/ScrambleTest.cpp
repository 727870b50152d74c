// Scrambled label texts: the two routines are each other's inverse for every text, control
// characters and NUL included, and the stored captions descramble to this program's own.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "model/RuntimeFailure.h"
#include "shell/InfoLabels.h"
#include "shell/Scramble.h"

namespace varsel {
namespace {

TEST(ScrambleTest, RoundTripsEveryByte) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 300);
    for (int i = 0; i < 2000; ++i) {
        std::string plain(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : plain)
            c = static_cast<char>(byte(random));
        std::string text = plain;
        ScrambleText(text);
        ASSERT_EQ(text.size(), plain.size());
        DescrambleText(text);
        ASSERT_EQ(text, plain);
        // And the other way round: scrambling the descrambled form gives the stored form.
        std::string stored = plain;
        DescrambleText(stored);
        ScrambleText(stored);
        ASSERT_EQ(stored, plain);
    }
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
