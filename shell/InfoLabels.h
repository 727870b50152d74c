// The captions of the main window's two information labels: a stored scrambled text,
// descrambled at start-up, followed by a plain two-character suffix.
#pragma once

#include <string>

namespace varsel {

/// Caption of the label `nfo`: the program's name and version.
std::string NfoCaption();

/// Caption of the label `crt`: the program's developers and year.
std::string CrtCaption();

}  // namespace varsel
