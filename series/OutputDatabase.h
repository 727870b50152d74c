// The database a series fit writes: a copy of the database the data files name in which the
// fitted species' entries are replaced, each under comment lines that say where its values
// come from. A database in the text format is copied line for line, so that everything else
// in it (comments, order, spacing) stays as it was; a slop file is converted to the text
// format as a whole. A later fit over the written database replaces its own comment lines.
#pragma once

#include <string>
#include <vector>

#include "engine/thermo/Database.h"

namespace varsel::series {

/// A replaced entry and the comment lines (without "#") above it.
struct EntryUpdate {
    engine::thermo::SpeciesRecord Record;
    std::vector<std::string> Comment;
};

/// The energy unit (J) of the entries of the database file at `path`: 4.184 for "units cal"
/// and slop files, 1 for "units J".
double EnergyUnitOf(const std::string& path);

/// The text of the new database. `source` is the database read from `sourcePath`. Throws
/// SeriesError when the source file cannot be read.
std::string OutputDatabaseText(const std::string& sourcePath,
                               const engine::thermo::Database& source,
                               const std::vector<EntryUpdate>& updates);

}  // namespace varsel::series
