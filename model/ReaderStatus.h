// The reader's status codes and their messages, in one table: the code, the text the user
// sees after "Source data: ", and whether the position of the cell read last follows it
// (" (row=", row, ", col=", column, ")"). Codes 0 (success) and -1 (quiet stop) are not in it.
#pragma once

#include <cstdint>

namespace varsel {

enum ReaderStatus : std::int16_t {
    kCannotOpen = 2,
    kUnexpected = 3,
    kKeyword = 4,
    kMandatory = 5,
    kNoAqueous = 6,
    kOutOfRange = 7,
    kPmcCount = 8,
    kPmcName = 9,
    kGasPotential = 10,
    kPotential = 11,
    kSpeciesCount = 12,
    kNotInDatabase = 13,
    kNotAqueous = 14,
    kNotInSystem = 15,
    kDuplicated = 16,
    kInitialEnergy = 17,
    kAxis = 18,
    kFormula = 19,
    kDataColumn = 20,
    kComposition = 21,
    kWeight = 22,
    kXMissing = 23,
    kXInvalid = 24,
    kYMissing = 25,
    kYInvalid = 26,
    kPmcTwice = 27,
    kPmcPotential = 28,
    kNumberRange = 29,
    kLineEnds = 30,
    kPhNoTitrants = 31,
    kPhValue = 32,
};

struct ReaderStatusEntry {
    std::int16_t Code;
    const char* Text;
    bool ShowsPosition;
};

// clang-format off
inline constexpr ReaderStatusEntry kReaderStatusTable[] = {
    {kCannotOpen,     "could not open the file",            false},
    {kUnexpected,     "unexpected error (short file?)",     false},
    {kKeyword,        "incorrect keyword",                  true},
    {kMandatory,      "no mandatory data",                  true},
    {kNoAqueous,      "no aqueous solution",                false},
    {kOutOfRange,     "T/P/D out of range",                 false},
    {kPmcCount,       "incorrect number of p.m.c.",         true},
    {kPmcName,        "p.m.c. name is incorrect or absent", true},
    {kGasPotential,   "potentials of gases are mandatory",  true},
    {kPotential,      "could not calculate potential",      false},
    {kSpeciesCount,   "incorrect number of species",        true},
    {kNotInDatabase,  "species not found in the database",  true},
    {kNotAqueous,     "species is not an aqueous",          true},
    {kNotInSystem,    "species not found in System file",   true},
    {kDuplicated,     "duplicated species found",           true},
    {kInitialEnergy,  "could not calculate initial energy", true},
    {kAxis,           "incorrect axis definition",          true},
    {kFormula,        "invalid formula of a substance",     true},
    {kDataColumn,     "incorrect data column",              true},
    {kComposition,    "composition value is invalid",       true},
    {kWeight,         "weight value is invalid",            true},
    {kXMissing,       "fixed X value not defined",          true},
    {kXInvalid,       "fixed X value is invalid",           true},
    {kYMissing,       "Y (exp) value not defined",          true},
    {kYInvalid,       "Y (exp) value is invalid",           true},
    {kPmcTwice,       "p.m.c. appears twice",               true},
    {kPmcPotential,   "p.m.c. potential is invalid",        true},
    {kNumberRange,    "number out of range: values up to 3.4E+38, counts up to 32767", true},
    {kLineEnds,       "line ended by a carriage return alone: save the file with LF or "
                      "CR LF line ends",                    true},
    {kPhNoTitrants,   "pH needs titrants in the System",    true},
    {kPhValue,        "pH value is invalid",                true},
};
// clang-format on

/// The table's entry for `code`, or null for a code it does not hold (0 and -1 included).
constexpr const ReaderStatusEntry* FindReaderStatus(std::int16_t code) {
    for (const ReaderStatusEntry& entry : kReaderStatusTable) {
        if (entry.Code == code) return &entry;
    }
    return nullptr;
}

}  // namespace varsel
