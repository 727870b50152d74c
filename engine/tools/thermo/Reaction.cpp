#include "engine/tools/thermo/Reaction.h"

#include <cmath>
#include <map>

#include "engine/thermo/Elements.h"
#include "engine/thermo/TextTokens.h"
#include "engine/thermo/Units.h"
#include "engine/tools/thermo/Conditions.h"

namespace varsel::engine::tools {

namespace {

// Element and charge balance; empty when balanced.
std::string Imbalance(const std::vector<ReactionTerm>& terms, const std::vector<Potential>& p) {
    std::map<int, double> elements;
    double charge = 0;
    for (std::size_t i = 0; i < terms.size(); ++i) {
        for (const thermo::ElementAmount& e : p[i].Record->Composition.Elements)
            elements[e.Code] += terms[i].Coefficient * e.Amount;
        charge += terms[i].Coefficient * p[i].Record->Charge();
    }
    std::vector<std::string> parts;
    for (const auto& [code, amount] : elements)
        if (std::fabs(amount) > 1e-6)
            parts.push_back(std::string(thermo::ElementByCode(code)->Symbol) + " " +
                            Fixed(amount, 3));
    if (std::fabs(charge) > 1e-6) parts.push_back("charge " + Fixed(charge, 3));
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

}  // namespace

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
        if (!expectTerm) {
            // Built by appending: GCC 12 warns falsely (-Wrestrict) on "..." + std::string(w).
            std::string what = "\"";
            what.append(w).append("\" follows a species without \"+\" or \"=\"");
            fail(what);
        }
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

ReactionEnergy EnergyOf(const std::vector<ReactionTerm>& terms, PotentialCalculator& calculator,
                        double temperature) {
    ReactionEnergy r;
    r.Terms = terms;
    for (const ReactionTerm& term : terms) {
        Potential p = calculator.Of(term.Name);
        if (!p.Record)
            throw ToolError(kExitFailure, "no substance \"" + term.Name + "\" in " +
                                              calculator.Database().Path().string());
        if (!p.Gibbs)
            throw ToolError(kExitFailure, "no potential for " + term.Name + ": " + p.Problem);
        r.DeltaG += term.Coefficient * *p.Gibbs;
        r.Potentials.push_back(std::move(p));
    }
    r.LogK = -r.DeltaG / (thermo::kGasConstant * temperature * thermo::kLn10);
    r.Imbalance = Imbalance(terms, r.Potentials);
    return r;
}

}  // namespace varsel::engine::tools
