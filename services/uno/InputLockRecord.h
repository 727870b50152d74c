// A small file in the user's private folder that lists the documents whose windows this
// program has disabled, each with the id of the process that disabled it. A program that ends
// without enabling them again (a crash, a kill) leaves its lines behind; the next attach
// enables those windows and drops the lines, while the locks of programs still running stay.
// The record is replaced whole through a temporary file; a symbolic link in its place is left
// alone and the record is then not kept.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace varsel::calc {

class InputLockRecord {
  public:
    /// Keeps the record in `path`; an empty path keeps none.
    explicit InputLockRecord(std::string path);

    /// Notes that process `pid` has disabled the windows of `document` (a URL or title).
    void Add(pid_t pid, const std::string& document) const;
    /// Drops the note of process `pid` about `document`.
    void Remove(pid_t pid, const std::string& document) const;
    /// Drops and returns the documents noted by processes that no longer run.
    std::vector<std::string> TakeOrphans() const;

  private:
    struct Line {
        pid_t pid;
        std::string document;
    };
    std::vector<Line> Read() const;
    void Write(const std::vector<Line>& lines) const;

    std::string path_;
};

}  // namespace varsel::calc
