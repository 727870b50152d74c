#include "engine/thermo/Database.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "engine/common/DataFolders.h"
#include "engine/thermo/DatabaseText.h"
#include "engine/thermo/SlopReader.h"
#include "engine/thermo/TextTokens.h"
#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

namespace {

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

// The water entries every database holds. Their reference values are those of the
// SUPCRT-family data (Helgeson & Kirkham 1974; Johnson et al. 1992) and serve information
// only: the potentials come from the water functions.
SpeciesRecord WaterEntry(const std::string& name, SpeciesRole role) {
    SpeciesRecord r;
    r.Name = name;
    r.FormulaText = "H2O";
    r.Composition = ParseFormula("H2O");
    r.Kind = SpeciesKind::Water;
    r.Role = role;
    r.G = -56688.0 * kCalorie;
    r.H = -68317.0 * kCalorie;
    r.S = 16.712 * kCalorie;
    r.V = 18.068 * kCubicCentimetre;
    r.Reference = role == SpeciesRole::Solvent
                      ? "the aqueous solvent; potential from the water equation of state"
                      : "pure water; potential from the water equation of state";
    return r;
}

}  // namespace

void AssignRole(SpeciesRecord& record) {
    if (record.Name == "H2O")
        record.Role = SpeciesRole::WaterSubstance;
    else if (record.Name == "H2O,aq")
        record.Role = SpeciesRole::Solvent;
    else if (record.Name == "H+")
        record.Role = SpeciesRole::Proton;
    else if (record.Name == "OH-")
        record.Role = SpeciesRole::Hydroxide;
    else
        record.Role = SpeciesRole::Ordinary;
}

Database::Database() {
    AddWaterEntries();
}

void Database::AddWaterEntries() {
    Add(WaterEntry("H2O", SpeciesRole::WaterSubstance));
    Add(WaterEntry("H2O,aq", SpeciesRole::Solvent));
}

void Database::Add(SpeciesRecord record) {
    if (auto it = exact_.find(record.Name); it != exact_.end()) {
        records_[it->second] = std::move(record);
        return;
    }
    const std::size_t index = records_.size();
    exact_.emplace(record.Name, index);
    folded_[Folded(record.Name)].push_back(index);
    records_.push_back(std::move(record));
}

std::optional<std::size_t> Database::IndexOf(std::string_view name) const {
    if (auto it = exact_.find(std::string(name)); it != exact_.end()) return it->second;
    if (auto it = folded_.find(Folded(name)); it != folded_.end() && it->second.size() == 1)
        return it->second.front();
    return std::nullopt;
}

const SpeciesRecord* Database::Find(std::string_view name) const {
    std::optional<std::size_t> index = IndexOf(name);
    return index ? &records_[*index] : nullptr;
}

Database Database::Load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DatabaseError("cannot open database file " + path.string());
    std::stringstream content;
    content << in.rdbuf();
    if (in.bad()) throw DatabaseError("cannot read database file " + path.string());

    // Told apart by the first line that is not blank: slop files open with "*" comments.
    std::string line;
    bool slop = false;
    while (std::getline(content, line)) {
        std::string_view trimmed = TrimLine(line);
        if (trimmed.empty()) continue;
        slop = trimmed.front() == '*';
        break;
    }
    content.clear();
    content.seekg(0);

    Database db;
    db.path_ = path;
    if (slop)
        ReadSlop(content, db, path.string());
    else
        ReadDatabaseText(content, db, path.string());
    return db;
}

Database Database::Open(std::string_view name, const std::filesystem::path& workFolder) {
    const std::string_view extensions[] = {kDatabaseExtension, kSlopExtension};
    std::filesystem::path path = ResolveDataFile(name, DataKind::Databases, workFolder, extensions);
    if (path.empty()) {
        throw DatabaseError("database \"" + std::string(name) + "\" not found (looked in: " +
                            SearchedFoldersText(DataKind::Databases, workFolder) + ")");
    }
    return Load(path);
}

}  // namespace varsel::engine::thermo
