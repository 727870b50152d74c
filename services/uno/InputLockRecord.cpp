#include "services/uno/InputLockRecord.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "services/uno/OfficeProcesses.h"

namespace varsel::calc {

InputLockRecord::InputLockRecord(std::string path) : path_(std::move(path)) {}

std::vector<InputLockRecord::Line> InputLockRecord::Read() const {
    std::vector<Line> lines;
    if (path_.empty()) return lines;
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
    if (path_.empty()) return;
    std::error_code ignored;
    if (lines.empty()) {
        std::filesystem::remove(path_, ignored);
        return;
    }
    // Written beside and renamed over the record, so that a reader never sees half a file.
    const std::string temporary = path_ + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const Line& line : lines)
            out << line.pid << '\t' << line.document << '\n';
        if (!out) return;
    }
    std::filesystem::rename(temporary, path_, ignored);
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
