// Writes the outcome of a run back into a text data file, in the layout the reader reads:
// conditions, p.m.c. potentials, initial and fitted species values with their half-widths,
// mean errors and, per sample, the calculated Y, its error and the extras count. Numbers use
// the short form (the print form, with a blank on each side, for half-widths and extras
// counts); cells are separated by tabs and every line ends with CR LF.
//
// The new text goes to a temporary file beside the data file, which replaces the data file
// only once it is complete and on disk: a failure never leaves a half-written data file.
#pragma once

#include <memory>
#include <string>

#include "files/FileReplacement.h"

namespace varsel {

struct ProblemModel;
struct RunContext;

/// Rewrites the text data file DataFile from `m`, through `reservation` when SaveProblem
/// made one. The lines below the sample table (TextBelowTable) go back as they were read.
/// Does nothing for a workbook.
/// On failure shows a message box (stop icon) in the context's window and sets StatusCode: 1 with
/// "Could not write to file (disk access error?)" when the file cannot be written at all,
/// 2 with "Error<number> while writing results to the file" when writing fails part-way; both
/// go on with ": ", the path and the reason. The data file is then left as it was. Never
/// throws.
void SaveResults(ProblemModel& m, RunContext& context,
                 std::unique_ptr<FileReplacement> reservation = nullptr);

/// Why SaveResults could not write the text data file now: its path and the system's reason
/// ("/data/a.txt: Permission denied", "…: No space left on device"). Empty when it can, and
/// for a workbook. Asked before a fit, so that a fit whose results cannot be kept is not run
/// unknowingly. It makes the temporary file the results will go to and reserves the disk
/// space they need; with `reservation` the caller keeps both for SaveResults, else they are
/// given back at once. The data file is not changed.
std::string SaveProblem(const ProblemModel& m,
                        std::unique_ptr<FileReplacement>* reservation = nullptr);

/// Removes the temporaries that an earlier writer of `dataFile` left beside it when it was
/// killed before it could finish or remove them. A temporary that a live process is still
/// writing is left alone. Never throws.
void RemoveStaleTemporaries(const std::string& dataFile);

}  // namespace varsel
