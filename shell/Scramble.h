// Texts kept in scrambled form: each character code XOR the previous plain code, starting
// from a fixed seed. The information labels of the main window are stored this way and
// descrambled once at start-up.
#pragma once

#include <string>

namespace varsel {

/// The seed that stands before the first character in both directions.
inline constexpr unsigned char kScrambleSeed = 0x5A;

/// Replaces a plain text by its scrambled form (same length; may contain NUL characters).
/// A text longer than 32766 characters is an overflow failure.
void ScrambleText(std::string& text);

/// Replaces a scrambled text by the plain text.
void DescrambleText(std::string& text);

}  // namespace varsel
