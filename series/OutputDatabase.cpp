#include "series/OutputDatabase.h"

#include <fstream>
#include <sstream>

#include "engine/thermo/DatabaseText.h"
#include "engine/thermo/TextTokens.h"
#include "engine/thermo/Units.h"
#include "varsel/Series.h"

namespace varsel::series {

namespace thermo = engine::thermo;

namespace {

// The comment lines a series fit writes above an entry start with this.
constexpr std::string_view kMark = "# | ";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) throw SeriesError("could not read the database " + path);
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The words of a line before its comment.
std::vector<std::string_view> Words(const std::string& line) {
    std::string_view content = line;
    if (const std::size_t hash = content.find('#'); hash != std::string_view::npos) {
        content = content.substr(0, hash);
    }
    return thermo::SplitWords(content);
}

bool IsSpeciesLine(const std::string& line) {
    const std::vector<std::string_view> words = Words(line);
    return words.size() >= 2 && words[0] == "species";
}

std::string EntryText(const EntryUpdate& update, double energyUnit) {
    std::ostringstream out;
    for (const std::string& line : update.Comment)
        out << kMark << line << "\n";
    thermo::WriteRecordText(out, update.Record, energyUnit);
    return out.str();
}

bool IsSlop(const std::string& text) {
    for (const std::string& line : Lines(text)) {
        const std::string_view trimmed = thermo::TrimLine(line);
        if (!trimmed.empty()) return trimmed.front() == '*';
    }
    return false;
}

double UnitOfText(const std::string& text) {
    for (const std::string& line : Lines(text)) {
        const std::vector<std::string_view> words = Words(line);
        if (words.size() >= 2 && words[0] == "units")
            return words[1] == "J" ? 1.0 : thermo::kCalorie;
        if (!words.empty() && words[0] == "species") break;
    }
    return thermo::kCalorie;
}

// Replaces the entry of each update in a text-format database, line for line.
std::string ReplaceEntries(const std::string& text, const std::vector<EntryUpdate>& updates) {
    std::vector<std::string> lines = Lines(text);
    const double unit = UnitOfText(text);
    for (const EntryUpdate& update : updates) {
        std::size_t first = lines.size();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::vector<std::string_view> words = Words(lines[i]);
            if (words.size() >= 2 && words[0] == "species" && words[1] == update.Record.Name) {
                first = i;
                break;
            }
        }
        std::vector<std::string> entry = Lines(EntryText(update, unit));
        if (first == lines.size()) {
            lines.emplace_back();
            lines.insert(lines.end(), entry.begin(), entry.end());
            continue;
        }
        // The entry runs to the next species line; comments and blank lines just before that
        // belong to the next entry.
        std::size_t end = first + 1;
        while (end < lines.size() && !IsSpeciesLine(lines[end]))
            ++end;
        while (end > first + 1 && Words(lines[end - 1]).empty())
            --end;
        std::size_t start = first;
        while (start > 0 && lines[start - 1].rfind(kMark, 0) == 0)
            --start;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(start),
                    lines.begin() + static_cast<std::ptrdiff_t>(end));
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(start), entry.begin(),
                     entry.end());
    }
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

// A slop database converted as a whole, with the replaced entries in place.
std::string Converted(const std::string& sourcePath, const thermo::Database& source,
                      const std::vector<EntryUpdate>& updates) {
    std::ostringstream out;
    std::istringstream description("Converted from " + sourcePath +
                                   " with entries fitted to a "
                                   "series of data files.\n\n" +
                                   source.Description());
    std::string line;
    while (std::getline(description, line))
        out << (line.empty() ? "#" : "# " + line) << "\n";
    out << thermo::kDatabaseFormatLine << "\n";
    out << "units cal    # energies in cal/mol and cal/(mol K); volumes cm3/mol; pressures bar; "
           "temperatures K\n";
    for (const thermo::SpeciesRecord& record : source.Records()) {
        out << "\n";
        const EntryUpdate* update = nullptr;
        for (const EntryUpdate& u : updates) {
            if (u.Record.Name == record.Name) update = &u;
        }
        if (update != nullptr) {
            out << EntryText(*update, thermo::kCalorie);
        } else {
            thermo::WriteRecordText(out, record);
        }
    }
    return out.str();
}

}  // namespace

double EnergyUnitOf(const std::string& path) {
    const std::string text = ReadAll(path);
    return IsSlop(text) ? thermo::kCalorie : UnitOfText(text);
}

std::string OutputDatabaseText(const std::string& sourcePath, const thermo::Database& source,
                               const std::vector<EntryUpdate>& updates) {
    const std::string text = ReadAll(sourcePath);
    return IsSlop(text) ? Converted(sourcePath, source, updates) : ReplaceEntries(text, updates);
}

}  // namespace varsel::series
