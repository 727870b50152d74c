// A thermodynamic database: the substances of one database file, looked up by name.
//
// Two file formats are read, told apart by their content: the documented text format of this
// program (DatabaseText.h, docs/database-format.md) and the SUPCRT92 "slop" format
// (SlopReader.h). Every database also holds the water entries the engine defines itself,
// when the file does not: "H2O", the pure water substance, and "H2O,aq", the aqueous solvent;
// their potentials are the water potential.
//
// Names are matched exactly (case-sensitive) first; a name that matches no substance exactly
// but exactly one substance when letter case is ignored ("Quartz" for QUARTZ) finds that one.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/thermo/Species.h"

namespace varsel::engine::thermo {

/// A database file that cannot be found or read; the message names the file (and the line).
class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// File extensions of the two formats, tried in this order when a name has none.
inline constexpr std::string_view kDatabaseExtension = ".vdb";
inline constexpr std::string_view kSlopExtension = ".dat";

class Database {
  public:
    Database();

    /// Opens a database by name: resolved in the working folder first, then among the
    /// databases that ship with the program (engine/common/DataFolders.h); the name may
    /// omit its extension. Throws DatabaseError.
    static Database Open(std::string_view name, const std::filesystem::path& workFolder);

    /// Reads a database file of either format. Throws DatabaseError.
    static Database Load(const std::filesystem::path& path);

    /// Adds a substance; one of the same name is replaced.
    void Add(SpeciesRecord record);

    /// The substance of this name (see the matching rule above), or nullptr.
    const SpeciesRecord* Find(std::string_view name) const;
    /// Position of the substance of this name in Records(), or nullopt.
    std::optional<std::size_t> IndexOf(std::string_view name) const;

    const std::vector<SpeciesRecord>& Records() const { return records_; }
    std::size_t Size() const { return records_.size(); }

    /// The file the database was read from (empty for one built in memory).
    const std::filesystem::path& Path() const { return path_; }
    /// Title and provenance text of the file.
    const std::string& Description() const { return description_; }
    void SetDescription(std::string text) { description_ = std::move(text); }
    /// Remarks the reader made about records it corrected or skipped, one per entry.
    const std::vector<std::string>& Warnings() const { return warnings_; }
    void AddWarning(std::string text) { warnings_.push_back(std::move(text)); }

  private:
    void AddWaterEntries();

    std::vector<SpeciesRecord> records_;
    std::unordered_map<std::string, std::size_t> exact_;
    std::unordered_map<std::string, std::vector<std::size_t>> folded_;
    std::filesystem::path path_;
    std::string description_;
    std::vector<std::string> warnings_;
};

/// Sets the role of the substances whose potential follows a convention, by name:
/// "H2O" water substance, "H2O,aq" solvent, "H+" proton, "OH-" hydroxide.
void AssignRole(SpeciesRecord& record);

}  // namespace varsel::engine::thermo
