// varsel-cli: the command-line twin of the Varsel window.
#include <cstdio>
#include <cstring>

#include "shell/InfoLabels.h"

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0)) {
        std::printf("%s\n%s\n", varsel::NfoCaption().c_str(), varsel::CrtCaption().c_str());
        return 0;
    }
    std::fprintf(stderr, "usage: varsel-cli --version\n");
    return 2;
}
