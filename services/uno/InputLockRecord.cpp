#include "services/uno/InputLockRecord.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <utility>

#include "files/FileReplacement.h"
#include "services/uno/OfficeProcesses.h"

namespace varsel::calc {

namespace {

bool IsLink(const std::string& path) {
    struct stat entry {};
    return lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
}

}  // namespace

InputLockRecord::InputLockRecord(std::string path) : path_(std::move(path)) {}

std::vector<InputLockRecord::Line> InputLockRecord::Read() const {
    std::vector<Line> lines;
    // A link in the record's place is no record: neither read, nor written, nor removed.
    if (path_.empty() || IsLink(path_)) return lines;
    std::ifstream in(path_, std::ios::binary);
    std::string text;
    while (std::getline(in, text)) {
        const std::size_t tab = text.find('\t');
        if (tab == std::string::npos || tab == 0) continue;
        const pid_t pid = static_cast<pid_t>(std::atol(text.substr(0, tab).c_str()));
        if (pid > 0) lines.push_back({pid, text.substr(tab + 1)});
    }
    return lines;
}

void InputLockRecord::Write(const std::vector<Line>& lines) const {
    if (path_.empty() || IsLink(path_)) return;
    if (lines.empty()) {
        unlink(path_.c_str());
        return;
    }
    std::string text;
    for (const Line& line : lines)
        text += std::to_string(line.pid) + '\t' + line.document + '\n';
    // Written beside and renamed over the record, so that a reader never sees half a file.
    // A record that cannot be written leaves the lock working without it.
    try {
        FileReplacement(path_).Commit(text);
    } catch (const FileProblem&) {
    }
}

void InputLockRecord::Add(pid_t pid, const std::string& document) const {
    std::vector<Line> lines = Read();
    for (const Line& line : lines) {
        if (line.pid == pid && line.document == document) return;
    }
    lines.push_back({pid, document});
    Write(lines);
}

void InputLockRecord::Remove(pid_t pid, const std::string& document) const {
    std::vector<Line> lines = Read();
    std::vector<Line> kept;
    for (Line& line : lines) {
        if (line.pid != pid || line.document != document) kept.push_back(std::move(line));
    }
    if (kept.size() != lines.size()) Write(kept);
}

std::vector<std::string> InputLockRecord::TakeOrphans() const {
    if (!path_.empty()) RemoveStaleReplacements(path_);
    std::vector<Line> lines = Read();
    std::vector<Line> kept;
    std::vector<std::string> orphans;
    for (Line& line : lines) {
        if (ProcessAlive(line.pid)) {
            kept.push_back(std::move(line));
        } else {
            orphans.push_back(std::move(line.document));
        }
    }
    if (!orphans.empty()) Write(kept);
    return orphans;
}

}  // namespace varsel::calc
