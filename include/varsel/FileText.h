// Writing a whole text file so that a failure or a power loss never leaves it half-written:
// the text goes to a temporary file with a fresh name beside it, which takes the old file's
// owner, mode and attributes, is flushed to disk and renamed over it. For the files a program
// makes besides data files (databases, tables).
#pragma once

#include <string>

namespace varsel {

/// Replaces the content of the file at `path` (or creates it) with `text`. Throws
/// std::runtime_error naming the file and the system's reason; the file is then as it was.
void ReplaceFileText(const std::string& path, const std::string& text);

}  // namespace varsel
