// The parts of choosing a data file that do not depend on the dialog: where the dialog
// opens, the filter list it shows, and how the chosen path splits into the working folder and
// the bare file name.
#pragma once

#include <string>
#include <vector>

namespace varsel {

/// The folder the open-file dialog starts in: `workFolder` without its trailing separator
/// (a root folder such as "/" or "C:\" stays whole), or `homeFolder` when workFolder is empty.
std::string DialogStartFolder(const std::string& workFolder, const std::string& homeFolder);

/// The dialog's filter list: the caller's pair shown as "description (patterns)", with the
/// semicolons between patterns turned into blanks, then "All files (*)".
std::vector<std::string> FileFilters(const std::string& description, const std::string& pattern);

/// Splits a chosen full path after its last folder separator: `folder` receives everything
/// up to and including that separator, `fileName` the rest. Returns false, changing neither,
/// when the path holds no separator or ends with one (no file was named).
bool SplitChosenPath(const std::string& path, std::string& folder, std::string& fileName);

}  // namespace varsel
