// varsel-convert-slop: converts a SUPCRT92 slop data file into a database in this program's
// text format (docs/database-format.md). The numbers are carried over unchanged (converted to
// calories without the SUPCRT scale factors); the corrections the slop reader makes (charges
// and formulas that the species names contradict, unreadable formulas) are listed in the header
// of the new file, followed by the header of the slop file itself with its references.
//
//   varsel-convert-slop INPUT.dat OUTPUT.vdb [--note TEXT]... [--header-file FILE]
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "engine/thermo/Database.h"
#include "engine/thermo/DatabaseText.h"

namespace thermo = varsel::engine::thermo;

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

int main(int argc, char** argv) {
    std::string input, output;
    std::vector<std::string> notes;
    CLI::App app{"Converts a SUPCRT92 slop data file into a Varsel database file.",
                 "varsel-convert-slop"};
    app.add_option("INPUT", input, "slop data file")->required()->check(CLI::ExistingFile);
    app.add_option("OUTPUT", output, "database file to write (.vdb)")->required();
    std::string headerFile;
    app.add_option("--note", notes, "a line for the header of the new file (repeatable)");
    app.add_option("--header-file", headerFile, "a text file whose lines go into the header")
        ->check(CLI::ExistingFile);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }

    try {
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

        // Write beside the target and rename, so a failed run leaves no half-written file;
        // whatever fails once writing has started, the temporary file goes too.
        const std::filesystem::path target(output);
        std::filesystem::path temporary = target;
        temporary += ".tmp";
        try {
            {
                std::ofstream out(temporary, std::ios::binary);
                if (!out) throw std::runtime_error("cannot write " + temporary.string());
                thermo::WriteDatabaseText(out, db, header.str());
                out.flush();
                if (!out) throw std::runtime_error("cannot write " + temporary.string());
            }
            // Read the result back: a file the program cannot open must not replace the old one.
            const thermo::Database check = thermo::Database::Load(temporary);
            if (check.Size() != db.Size())
                throw std::runtime_error("the written file holds " + std::to_string(check.Size()) +
                                         " substances instead of " + std::to_string(db.Size()));
            std::filesystem::rename(temporary, target);
        } catch (...) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw;
        }
        std::cout << "wrote " << target.string() << ": " << Counts(db) << "\n";
        if (!db.Warnings().empty())
            std::cout << db.Warnings().size() << " corrections, listed in the file's header\n";
    } catch (const std::exception& e) {
        std::cerr << "varsel-convert-slop: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
