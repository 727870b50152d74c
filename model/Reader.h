// The data file reader: walks the grid of a data file in its fixed order of rows, sets the
// thermodynamic engine up (database, options, System file, conditions), computes what the
// file leaves to the engine (p.m.c. potentials, initial species values), validates every cell
// and fills the problem model.
//
// The outcome is a status code with a message (model/ReaderStatus.h), most of them followed
// by the position of the cell read last: " (row=", row, ", col=", column, ")". A file that
// cannot be opened adds its path and the system's reason ("could not open the file:
// /data/a.txt: Permission denied"), and a file with more rows than the row counter holds says
// so after "unexpected error".
#pragma once

#include <cstdint>
#include <string>

namespace varsel {

struct ProblemModel;
struct RunContext;

/// Reads the data file named in the context window's path box into `m` and sets up its
/// engine objects, which it creates with the context's factory. Returns the status code, also
/// left in m.StatusCode: 0 success, -1 quiet stop (a message box has been shown or the path
/// box was filled), 2 .. 28 a failure whose message is in m.StatusText. Never throws:
/// run-time failures become codes 2 and 3.
std::int16_t ReadDataFile(ProblemModel& m, RunContext& context);

/// Gives a copy of a problem that the reader filled engine objects of its own, set up as the
/// reader set up the original's (database, options, limits, System file), and the p.m.c. the
/// type codes of the new Thermo object. False when the engine refused one of them; its
/// message has then been shown in the context's window. Throws RuntimeFailure when the
/// context has no engine.
bool SetUpEngine(ProblemModel& m, RunContext& context);

/// The reader's message for a status code, without position; empty for codes it does not
/// know (0 and -1 included).
std::string ReaderMessage(std::int16_t code);

}  // namespace varsel
