// Where things stand in a data file: the keywords of its rows and header cells, and the rows
// and columns that the reader, the fit and the writer address. Rows and columns count from 1;
// F is the number of fixed p.m.c. rows (a pH row among them), S the number of species, C the
// number of per-sample p.m.c. plus the pH column, if any, plus the number of formula columns.
//
//   row 1              the title
//   rows 2 .. 7        Database:, System:, Options:, T, C:, P, bar:, P.m.c.: (each with its value)
//   row 7 + i          fixed p.m.c. i: blank, name, potential; or blank, pH, the pH
//   row 8 + F          Species:, count, Initial, Result, the half-width header
//   row 8 + F + i      species i: blank, name, initial value, result, half-width
//   row 9 + F + S      Mean err.:, blank, initial mean error, resulting mean error
//   rows 10, 11 + F + S  X axis:, Y axis: (each with its definition)
//   row 12 + F + S     blank
//   row 13 + F + S     Sample, the per-sample p.m.c. (pH may stand among them), the formulas,
//                      Weight, X, Y (exp), Y (calc), error, extras
//   row 13 + F + S + k sample k; Weight in column C + 2, X in C + 3, ... extras in C + 7
#pragma once

#include <cstdint>

#include "model/ProblemModel.h"

namespace varsel::layout {

// Keywords in the first column.
inline constexpr const char* kDatabase = "Database:";
inline constexpr const char* kSystem = "System:";
inline constexpr const char* kOptions = "Options:";
inline constexpr const char* kTemperature = "T, C:";
inline constexpr const char* kPressure = "P, bar:";
inline constexpr const char* kPmc = "P.m.c.:";
inline constexpr const char* kSpecies = "Species:";
inline constexpr const char* kMeanError = "Mean err.:";
inline constexpr const char* kXAxis = "X axis:";
inline constexpr const char* kYAxis = "Y axis:";
inline constexpr const char* kSample = "Sample";
/// Stands for a p.m.c. name where the data file imposes a pH: in a fixed p.m.c. row, whose
/// value cell is then the pH, or as a per-sample column of pH values.
inline constexpr const char* kPh = "pH";

// Column headers of the p.m.c. and species rows.
inline constexpr const char* kPotential = "Potential";
inline constexpr const char* kInitial = "Initial";
inline constexpr const char* kResult = "Result";
/// The half-width header is a blank and the plus-minus sign, as one Latin-1 byte or in UTF-8.
inline constexpr const char* kPlusMinusLatin1 = "\xB1";
inline constexpr const char* kPlusMinusUtf8 = "\xC2\xB1";

/// The sample columns after the formulas, in the order of the header row.
enum class SampleColumn : std::int16_t { Weight = 2, X, YExp, YCalc, Error, Extras };
inline constexpr const char* kSampleHeaders[] = {"Weight",   "X",     "Y (exp)",
                                                 "Y (calc)", "error", "extras"};

// Columns of the p.m.c., species and mean-error rows.
inline constexpr std::int16_t kPotentialColumn = 3;
inline constexpr std::int16_t kInitialColumn = 3;
inline constexpr std::int16_t kResultColumn = 4;
inline constexpr std::int16_t kHalfWidthColumn = 5;

/// Row of fixed p.m.c. i (1 .. FixedPmcCount).
std::int16_t FixedPmcRow(int i);
/// Row of species i (1 .. SpeciesCount).
std::int16_t SpeciesRow(const ProblemModel& m, int i);
/// Row of the mean errors.
std::int16_t MeanErrorRow(const ProblemModel& m);
/// Row of sample k (1 .. SampleCount).
std::int16_t SampleRow(const ProblemModel& m, int k);
/// Column of one of the cells after the formulas in a sample row.
std::int16_t SampleCell(const ProblemModel& m, SampleColumn column);

}  // namespace varsel::layout
