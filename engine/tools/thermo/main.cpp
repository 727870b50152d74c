// varsel-thermo: standard thermodynamic properties at temperature and pressure (see Tool.h).
#include <filesystem>
#include <iostream>
#include <system_error>

#include "engine/tools/thermo/Tool.h"

int main(int argc, char** argv) {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    return varsel::engine::tools::RunThermoTool(argc, argv, std::cout, std::cerr,
                                                ec ? std::filesystem::path() : here);
}
