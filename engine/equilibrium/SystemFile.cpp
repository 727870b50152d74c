#include "engine/equilibrium/SystemFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>

#include "model/RuntimeFailure.h"

namespace varsel::engine::equilibrium {

namespace {

enum class Section { None, Mobile, Extras, Aqueous, Titrants };

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

[[noreturn]] void Fail(const std::string& path, int line, const std::string& what) {
    throw RuntimeFailure(kEngineFailure,
                         "System file " + path + ", line " + std::to_string(line) + ": " + what);
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

SystemDefinition ParseSystem(const std::string& text, const std::string& path) {
    SystemDefinition system;
    system.Path = path;
    Section section = Section::None;
    bool sawAqueous = false;
    std::istringstream lines(text);
    std::string raw;
    int lineNumber = 0;
    while (std::getline(lines, raw)) {
        ++lineNumber;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[') {
            const std::string header = Lower(line);
            if (header == "[pmc]") {
                section = Section::Mobile;
            } else if (header == "[extras]") {
                section = Section::Extras;
            } else if (header == "[aqueous]") {
                section = Section::Aqueous;
                sawAqueous = true;
            } else if (header == "[titrants]") {
                section = Section::Titrants;
            } else {
                Fail(path, lineNumber,
                     "unknown section " + line +
                         " (expected [pmc], [extras], [aqueous] or [titrants])");
            }
            continue;
        }
        if (section == Section::Titrants) {
            // "acid FORMULA" or "base FORMULA", then at most a comment.
            std::istringstream fields(line);
            std::string kind, formula, more;
            fields >> kind >> formula >> more;
            kind = Lower(kind);
            if ((kind != "acid" && kind != "base") || formula.empty() || formula[0] == '#' ||
                (!more.empty() && more[0] != '#'))
                Fail(
                    path, lineNumber,
                    "a titrant line is \"acid FORMULA\" or \"base FORMULA\", not \"" + line + "\"");
            std::string& titrant = kind == "acid" ? system.Acid : system.Base;
            if (!titrant.empty()) Fail(path, lineNumber, "the " + kind + " is given twice");
            titrant = formula;
            continue;
        }
        // A name is one word; whatever follows it must be a comment.
        std::size_t end = 0;
        while (end < line.size() && !IsBlank(line[end]))
            ++end;
        const std::string name = line.substr(0, end);
        const std::string rest = Trim(line.substr(end));
        if (!rest.empty() && rest[0] != '#')
            Fail(path, lineNumber, "species names contain no blanks: \"" + line + "\"");
        switch (section) {
            case Section::None:
                Fail(path, lineNumber, "species " + name + " stands before any section");
            case Section::Mobile:
            case Section::Extras:
                if (Contains(system.Mobile, name) || Contains(system.Extras, name))
                    Fail(path, lineNumber, "species " + name + " is listed twice");
                (section == Section::Mobile ? system.Mobile : system.Extras).push_back(name);
                break;
            case Section::Titrants:
                break;
            case Section::Aqueous:
                if (Contains(system.Aqueous, name))
                    Fail(path, lineNumber, "species " + name + " is listed twice");
                if (system.Aqueous.empty() && name != kSolventName && name != kSolventAlias)
                    Fail(path, lineNumber,
                         "the aqueous section must start with the solvent H2O,aq, not " + name);
                system.Aqueous.push_back(name);
                break;
        }
    }
    if (sawAqueous && system.Aqueous.empty())
        Fail(path, lineNumber,
             "the aqueous section is empty (it needs at least the solvent H2O,aq)");
    if (system.Mobile.size() + system.Extras.size() + system.Aqueous.size() > 30000)
        Fail(path, lineNumber, "too many species");
    return system;
}

SystemDefinition ReadSystemFile(const std::string& path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int error = errno != 0 ? errno : EIO;
        throw RuntimeFailure(kPathAccessError, "System file " + path + " cannot be read: " +
                                                   std::generic_category().message(error));
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseSystem(text.str(), path);
}

}  // namespace varsel::engine::equilibrium
