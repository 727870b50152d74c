#include "engine/tools/SlopConversion.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/thermo/Database.h"
#include "engine/thermo/DatabaseText.h"
#include "files/FileReplacement.h"

namespace varsel::engine::tools {

namespace {

// Counts of every kind, for the header.
std::string Counts(const thermo::Database& db) {
    int aqueous = 0, minerals = 0, gases = 0, water = 0;
    for (const thermo::SpeciesRecord& r : db.Records()) {
        switch (r.Kind) {
            case thermo::SpeciesKind::Aqueous:
                ++aqueous;
                break;
            case thermo::SpeciesKind::Mineral:
                ++minerals;
                break;
            case thermo::SpeciesKind::Gas:
                ++gases;
                break;
            case thermo::SpeciesKind::Water:
                ++water;
                break;
        }
    }
    return std::to_string(aqueous) + " aqueous species, " + std::to_string(minerals) +
           " minerals, " + std::to_string(gases) + " gases and " + std::to_string(water) +
           " water entries (H2O, the water substance, and H2O,aq, the solvent).";
}

}  // namespace

SlopConversion ConvertSlopFile(const std::filesystem::path& input,
                               const std::filesystem::path& output,
                               const std::vector<std::string>& notes,
                               const std::filesystem::path& headerFile) {
    const thermo::Database db = thermo::Database::Load(input);
    std::ostringstream header;
    header << "Varsel thermodynamic database, converted by varsel-convert-slop from\n"
           << std::filesystem::path(input).filename().string() << ".\n";
    for (const std::string& note : notes)
        header << note << "\n";
    if (!headerFile.empty()) {
        std::ifstream in(headerFile);
        std::string line;
        while (std::getline(in, line))
            header << line << "\n";
    }
    header << "\n" << Counts(db) << "\n";
    header << "Energies in cal/mol and cal/(mol K), volumes in cm3/mol, pressures in bar,\n"
           << "temperatures in K. HKF parameters without the scale factors of the SUPCRT "
              "tables.\n";
    if (!db.Warnings().empty()) {
        header << "\nCorrections made while reading the slop file:\n";
        for (const std::string& w : db.Warnings())
            header << "  " << w << "\n";
    }
    header << "\nHeader of the slop file, with its references:\n\n" << db.Description();

    std::ostringstream text;
    thermo::WriteDatabaseText(text, db, header.str());
    // Read the text back: a file the program cannot open must not replace the old one.
    thermo::Database check;
    std::istringstream back(text.str());
    thermo::ReadDatabaseText(back, check, output.string());
    if (check.Size() != db.Size())
        throw std::runtime_error("the written file holds " + std::to_string(check.Size()) +
                                 " substances instead of " + std::to_string(db.Size()));
    // Written beside the target and renamed over it, so a failed run leaves no half-written
    // file; a symbolic link at the target is refused, not followed.
    try {
        FileReplacement(output).Commit(text.str());
    } catch (const FileProblem& problem) {
        throw std::runtime_error("cannot write " + output.string() + ": " + problem.reason);
    }
    return {Counts(db), db.Warnings().size()};
}

}  // namespace varsel::engine::tools
