#include "engine/thermo/SlopReader.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <utility>

#include "engine/thermo/TextTokens.h"
#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

namespace {

enum class Block { None, Minerals0, Minerals1, Minerals2, Minerals3, Gases, Aqueous };

constexpr double kSentinel = 999999.0;

Block BlockOfTitle(std::string_view title) {
    if (title.find("do not undergo") != std::string_view::npos) return Block::Minerals0;
    if (title.find("undergo one") != std::string_view::npos) return Block::Minerals1;
    if (title.find("undergo two") != std::string_view::npos) return Block::Minerals2;
    if (title.find("undergo three") != std::string_view::npos) return Block::Minerals3;
    if (title == "gases") return Block::Gases;
    if (title == "aqueous species") return Block::Aqueous;
    return Block::None;
}

std::string ChargeText(double charge) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%+g", charge);
    return buffer;
}

bool IsComment(const std::string& line) {
    return !line.empty() && line[0] == '*';
}

class SlopParser {
  public:
    SlopParser(std::istream& in, Database& db, const std::string& source)
        : db_(db), source_(source) {
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines_.push_back(std::move(line));
        }
    }

    void Run() {
        std::string description;
        Block block = Block::None;
        std::size_t i = 0;
        while (i < lines_.size()) {
            const std::string& line = lines_[i];
            if (IsComment(line)) {
                if (i + 2 < lines_.size() && !IsComment(lines_[i + 1]) &&
                    IsComment(lines_[i + 2])) {
                    Block next = BlockOfTitle(TrimLine(lines_[i + 1]));
                    if (next != Block::None) {
                        block = next;
                        i += 3;
                        continue;
                    }
                }
                if (block == Block::None)
                    description += std::string(TrimLine(line.substr(1))) + "\n";
                ++i;
                continue;
            }
            if (TrimLine(line).empty()) {
                // The records end at the first blank line; a footer of counts follows.
                if (block != Block::None) break;
                ++i;
                continue;
            }
            if (block == Block::None) Fail(i, "text before the first block of records");
            i = ReadRecord(block, i);
        }
        if (block == Block::None) throw DatabaseError(source_ + ": no slop data blocks found");
        db_.SetDescription(description);
    }

  private:
    [[noreturn]] void Fail(std::size_t index, const std::string& what) const {
        throw DatabaseError(source_ + ", line " + std::to_string(index + 1) + ": " + what);
    }

    const std::string& Line(std::size_t index) const {
        if (index >= lines_.size()) Fail(index, "the file ends inside a record");
        return lines_[index];
    }

    // The numbers of a record line. A number split after its integer part ("14 .9410") is
    // joined again.
    std::vector<double> Numbers(std::size_t index, std::size_t count) const {
        std::vector<std::string> words;
        for (std::string_view w : SplitWords(Line(index))) {
            if (!words.empty() && !w.empty() && w.front() == '.' &&
                words.back().find_first_not_of("+-0123456789") == std::string::npos)
                words.back() += std::string(w);
            else
                words.emplace_back(w);
        }
        if (words.size() != count)
            Fail(index, "expected " + std::to_string(count) + " numbers, found " +
                            std::to_string(words.size()));
        std::vector<double> values;
        for (const std::string& w : words) {
            std::optional<double> v = ParseNumber(w);
            if (!v) Fail(index, "\"" + w + "\" is not a number");
            values.push_back(*v);
        }
        return values;
    }

    static std::optional<double> Known(double value, double scale) {
        if (std::fabs(value - kSentinel) < 0.5) return std::nullopt;
        return value * scale;
    }

    static double OrZero(double value) { return std::fabs(value - kSentinel) < 0.5 ? 0.0 : value; }

    std::size_t ReadRecord(Block block, std::size_t i) {
        SpeciesRecord r;
        const std::vector<std::string_view> first = SplitWords(Line(i));
        const std::vector<std::string_view> second = SplitWords(Line(i + 1));
        if (first.empty() || second.empty()) Fail(i, "record without a name or formula");
        r.Name = std::string(first[0]);
        // A database file takes "#" as the start of a comment: such a name cannot be written.
        if (r.Name.find('#') != std::string::npos)
            Fail(i,
                 "species name \"" + r.Name + "\" holds \"#\", which a database file cannot hold");
        const std::string structural = first.size() > 1 ? std::string(first[1]) : std::string();
        const std::string elemental(second.back());
        for (std::string_view word : SplitWords(Line(i + 2))) {
            if (!r.Reference.empty()) r.Reference += ' ';
            r.Reference.append(word);
        }
        const std::size_t startLine = i;
        i += 3;

        if (block == Block::Aqueous) {
            r.Kind = SpeciesKind::Aqueous;
            std::vector<double> ghs = Numbers(i++, 3);
            std::vector<double> a = Numbers(i++, 4);
            std::vector<double> c = Numbers(i++, 4);
            r.G = Known(ghs[0], kCalorie);
            r.H = Known(ghs[1], kCalorie);
            r.S = ghs[2] * kCalorie;
            HkfParameters p;
            p.a1 = a[0] * 1e-1 * kCalorie / kBar;
            p.a2 = a[1] * 1e2 * kCalorie;
            p.a3 = a[2] * kCalorie / kBar;
            p.a4 = a[3] * 1e4 * kCalorie;
            p.c1 = c[0] * kCalorie;
            p.c2 = c[1] * 1e4 * kCalorie;
            p.omega = c[2] * 1e5 * kCalorie;
            r.Hkf = p;
            SetComposition(r, elemental, structural, startLine, c[3]);
        } else {
            const int transitions = block == Block::Minerals1   ? 1
                                    : block == Block::Minerals2 ? 2
                                    : block == Block::Minerals3 ? 3
                                                                : 0;
            r.Kind = block == Block::Gases ? SpeciesKind::Gas : SpeciesKind::Mineral;
            std::vector<double> ghsv = Numbers(i++, 4);
            r.G = Known(ghsv[0], kCalorie);
            r.H = Known(ghsv[1], kCalorie);
            r.S = ghsv[2] * kCalorie;
            if (r.Kind == SpeciesKind::Mineral) r.V = ghsv[3] * kCubicCentimetre;
            for (int k = 0; k < transitions; ++k) {
                std::vector<double> t = Numbers(i++, 7);
                r.HeatCapacities.push_back(HeatCapacityOf(t));
                r.Transitions.push_back({t[3], OrZero(t[4]) * kCalorie,
                                         OrZero(t[5]) * kCubicCentimetre, OrZero(t[6]) * kBar});
            }
            r.HeatCapacities.push_back(HeatCapacityOf(Numbers(i++, 3)));
            r.MaxTemperature = Numbers(i++, 1)[0];
            if (r.Name == "QUARTZ") r.Volume = VolumeModel::AlphaQuartz;
            if (r.Name == "COESITE") r.Volume = VolumeModel::Coesite;
            // A gas's first line holds a common name, not a formula.
            SetComposition(r, elemental, r.Kind == SpeciesKind::Gas ? std::string() : structural,
                           startLine, std::nullopt);
        }
        CheckFinite(r, startLine);
        AssignRole(r);
        if (db_.IndexOf(r.Name) && db_.Find(r.Name)->Name == r.Name)
            db_.AddWarning(r.Name + ": a second record of this name replaces the first");
        db_.Add(std::move(r));
        return i;
    }

    // Every number read is finite, but a huge one can overflow once scaled to SI units.
    void CheckFinite(const SpeciesRecord& r, std::size_t line) const {
        std::vector<std::pair<const char*, double>> values = {{"G", r.G.value_or(0)},
                                                              {"H", r.H.value_or(0)},
                                                              {"S", r.S.value_or(0)},
                                                              {"V", r.V.value_or(0)},
                                                              {"tmax", r.MaxTemperature}};
        if (r.Hkf) {
            const HkfParameters& p = *r.Hkf;
            values.insert(values.end(), {{"a1", p.a1},
                                         {"a2", p.a2},
                                         {"a3", p.a3},
                                         {"a4", p.a4},
                                         {"c1", p.c1},
                                         {"c2", p.c2},
                                         {"omega", p.omega}});
        }
        for (const HeatCapacity& cp : r.HeatCapacities)
            values.insert(values.end(), {{"Cp a", cp.a}, {"Cp b", cp.b}, {"Cp c", cp.c}});
        for (const PhaseTransition& t : r.Transitions)
            values.insert(values.end(), {{"transition enthalpy", t.Enthalpy},
                                         {"transition volume", t.Volume},
                                         {"transition slope", t.Slope}});
        for (const auto& [field, value] : values)
            if (!std::isfinite(value))
                Fail(line, "species " + r.Name + ": " + field +
                               " is too large to hold once converted to SI units");
    }

    static HeatCapacity HeatCapacityOf(const std::vector<double>& v) {
        return {v[0] * kCalorie, v[1] * 1e-3 * kCalorie, v[2] * 1e5 * kCalorie};
    }

    // Composition and charge: the elemental formula, else the structural one; then the name
    // where it plainly contradicts them (see the header).
    void SetComposition(SpeciesRecord& r, const std::string& elemental,
                        const std::string& structural, std::size_t line,
                        std::optional<double> chargeField) {
        std::string error;
        std::optional<Formula> formula = TryParseFormula(elemental, &error);
        if (!formula && !structural.empty()) {
            if ((formula = TryParseFormula(structural)))
                db_.AddWarning(r.Name + ": elemental formula \"" + elemental +
                               "\" unreadable, composition taken from \"" + structural + "\"");
        }
        if (!formula) Fail(line, "species " + r.Name + ": " + error);

        if (chargeField) {
            if (formula->Charge != *chargeField && formula->Charge != 0.0)
                db_.AddWarning(r.Name + ": charge field " + ChargeText(*chargeField) +
                               " differs from the elemental formula");
            formula->Charge = *chargeField;
        }
        if (r.Kind != SpeciesKind::Mineral) CheckAgainstName(r, *formula);
        r.Composition = *formula;
        const bool structuralMatches = r.Kind == SpeciesKind::Mineral && !structural.empty() &&
                                       SameComposition(TryParseFormula(structural), *formula);
        r.FormulaText = structuralMatches ? structural : formula->ToText();
    }

    static bool SameAmounts(const std::optional<Formula>& a, const Formula& b) {
        if (!a || a->Elements.size() != b.Elements.size()) return false;
        for (const ElementAmount& e : b.Elements)
            if (std::fabs(a->Amount(e.Code) - e.Amount) > 1e-9) return false;
        return true;
    }

    static bool SameComposition(const std::optional<Formula>& a, const Formula& b) {
        return SameAmounts(a, b) && a->Charge == b.Charge;
    }

    static bool NameCarriesCharge(const std::string& name) {
        std::size_t end = name.size();
        while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1])))
            --end;
        return end > 0 && (name[end - 1] == '+' || name[end - 1] == '-');
    }

    void CheckAgainstName(const SpeciesRecord& r, Formula& formula) {
        std::optional<Formula> byName = TryParseFormula(r.Name);
        if (!byName) return;
        if (r.Kind == SpeciesKind::Aqueous && NameCarriesCharge(r.Name) &&
            byName->Charge != formula.Charge) {
            db_.AddWarning(r.Name + ": charge " + ChargeText(formula.Charge) + " corrected to " +
                           ChargeText(byName->Charge) + " from the name");
            formula.Charge = byName->Charge;
        }
        bool sameElements = byName->Elements.size() == formula.Elements.size();
        for (const ElementAmount& e : formula.Elements)
            if (byName->Amount(e.Code) == 0.0) sameElements = false;
        if (sameElements && !SameAmounts(byName, formula)) {
            const double charge = formula.Charge;
            db_.AddWarning(r.Name + ": elemental formula " + formula.ToText() +
                           " corrected from the name");
            formula = *byName;
            formula.Charge = charge;
        }
    }

    Database& db_;
    std::string source_;
    std::vector<std::string> lines_;
};

}  // namespace

void ReadSlop(std::istream& in, Database& database, const std::string& source) {
    SlopParser(in, database, source).Run();
}

}  // namespace varsel::engine::thermo
