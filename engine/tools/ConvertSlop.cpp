// varsel-convert-slop: converts a SUPCRT92 slop data file into a database in this program's
// text format (how: SlopConversion.h).
//
//   varsel-convert-slop INPUT.dat OUTPUT.vdb [--note TEXT]... [--header-file FILE]
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "engine/tools/SlopConversion.h"

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
        const auto done = varsel::engine::tools::ConvertSlopFile(input, output, notes, headerFile);
        std::cout << "wrote " << output << ": " << done.Counts << "\n";
        if (done.Corrections > 0)
            std::cout << done.Corrections << " corrections, listed in the file's header\n";
    } catch (const std::exception& e) {
        std::cerr << "varsel-convert-slop: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
