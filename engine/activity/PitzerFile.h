// The parameter file of the Pitzer model. Its layout is that of the PITZER section of the
// public USGS pitzer.dat: a keyword line per block (-B0, -B1, -B2, -C0, -THETA, -LAMDA, -ZETA,
// -PSI), then one line per parameter with the species (two, three for -ZETA and -PSI) and up
// to six numbers A0..A5 of the temperature function
//   P(T) = A0 + A1 (1/T − 1/Tr) + A2 ln(T/Tr) + A3 (T − Tr) + A4 (T² − Tr²) + A5 (1/T² − 1/Tr²),
// Tr = 298.15 K; numbers left out are zero. "#" starts a comment; a "PITZER" line is allowed
// before the first block. -C0 holds C^φ; -LAMDA (also spelled -LAMBDA) the neutral-species
// λ; -ZETA the neutral-cation-anion ζ; -PSI the triplets of two like-signed ions and one ion
// of the other sign.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace varsel::engine::activity {

enum class PitzerKind { B0, B1, B2, C0, Theta, Lambda, Zeta, Psi };

/// One parameter line.
struct PitzerEntry {
    PitzerKind Kind = PitzerKind::B0;
    std::array<std::string, 3> Species;  ///< the third is empty for two-species kinds
    std::array<double, 6> A{};           ///< A0..A5 of the temperature function
    int Line = 0;                        ///< line in the file, for messages
};

struct PitzerParameters {
    std::string Source;  ///< file name, for messages
    std::vector<PitzerEntry> Entries;
};

/// Reads the text of a parameter file; `source` names it in messages. Throws
/// RuntimeFailure(kEngineFailure) naming the line for an unknown keyword, a line before the
/// first keyword, a wrong number of species or numbers, a text that is not a number and a
/// parameter given twice.
PitzerParameters ParsePitzerText(std::string_view text, const std::string& source);

/// Reads a parameter file (RuntimeFailure(kFileNotFound) if it cannot be read).
PitzerParameters ReadPitzerFile(const std::string& path);

/// The temperature function of the file at T (K).
double PitzerTemperatureValue(const std::array<double, 6>& a, double temperature);

/// Number of species a kind names (2 or 3).
int SpeciesCount(PitzerKind kind);

}  // namespace varsel::engine::activity
