// The conversion of a SUPCRT92 slop data file into a database in this program's text format
// (docs/database-format.md), as varsel-convert-slop does it. The numbers are carried over
// unchanged (converted to calories without the SUPCRT scale factors); the corrections the slop
// reader makes (charges and formulas that the species names contradict, unreadable formulas)
// are listed in the header of the new file, followed by the header of the slop file itself
// with its references.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace varsel::engine::tools {

/// What a conversion wrote.
struct SlopConversion {
    std::string Counts;  ///< the substances of every kind, as a sentence
    std::size_t Corrections = 0;
};

/// Converts `input` into `output`. `notes` and the lines of `headerFile` (when not empty) go
/// into the new file's header. The text is read back, written beside the target and only then
/// renamed over it, so a failed conversion leaves no half-written file; a symbolic link at
/// `output` is refused, not followed. Throws on failure.
SlopConversion ConvertSlopFile(const std::filesystem::path& input,
                               const std::filesystem::path& output,
                               const std::vector<std::string>& notes,
                               const std::filesystem::path& headerFile = {});

}  // namespace varsel::engine::tools
