#include "varsel/FileText.h"

#include <stdexcept>

#include "output/FileReplacement.h"

namespace varsel {

void ReplaceFileText(const std::string& path, const std::string& text) {
    try {
        FileReplacement replacement(path);
        replacement.Commit(text);
    } catch (const FileProblem& problem) {
        throw std::runtime_error("could not write " + path + ": " + problem.reason);
    }
}

}  // namespace varsel
