#include "engine/tools/thermo/Reaction.h"

#include "engine/thermo/TextTokens.h"
#include "engine/tools/thermo/Tool.h"

namespace varsel::engine::tools {

std::vector<ReactionTerm> ParseReaction(const std::string& text) {
    const std::vector<std::string_view> words = thermo::SplitWords(text);
    auto fail = [&text](const std::string& what) {
        throw ToolError(kExitUsage, "reaction \"" + text + "\": " + what);
    };
    std::vector<ReactionTerm> terms;
    double side = -1.0;  // reactants first
    bool expectTerm = true;
    bool sawEquals = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view w = words[i];
        if (w == "=") {
            if (sawEquals) fail("more than one \"=\"");
            if (expectTerm) fail("a species is missing before \"=\"");
            sawEquals = true;
            side = 1.0;
            expectTerm = true;
            continue;
        }
        if (w == "+") {
            if (expectTerm) fail("a species is missing before \"+\"");
            expectTerm = true;
            continue;
        }
        if (!expectTerm)
            fail("\"" + std::string(w) + "\" follows a species without \"+\" or \"=\"");
        double coefficient = 1.0;
        if (std::optional<double> number = thermo::ParseNumber(w)) {
            if (*number <= 0.0) fail("coefficient " + std::string(w) + " is not positive");
            if (++i >= words.size()) fail("no species after the coefficient " + std::string(w));
            coefficient = *number;
        }
        terms.push_back({side * coefficient, std::string(words[i])});
        expectTerm = false;
    }
    if (!sawEquals) fail("no \"=\" between reactants and products");
    if (expectTerm) fail("a species is missing at the end");
    return terms;
}

}  // namespace varsel::engine::tools
