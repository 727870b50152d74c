#include "engine/thermo/DatabaseText.h"

#include <array>

#include "engine/thermo/TextTokens.h"
#include "engine/thermo/Units.h"

namespace varsel::engine::thermo {

namespace {

constexpr std::array<std::string_view, 7> kHkfKeys{"a1", "a2", "a3", "a4", "c1", "c2", "omega"};

class TextParser {
  public:
    TextParser(Database& db, const std::string& source) : db_(db), source_(source) {}

    void Run(std::istream& in) {
        std::string line, description;
        while (std::getline(in, line)) {
            ++lineNo_;
            std::string_view content = line;
            if (std::size_t hash = content.find('#'); hash != std::string_view::npos) {
                if (!formatSeen_)
                    description += std::string(TrimLine(content.substr(hash + 1))) + "\n";
                content = content.substr(0, hash);
            }
            std::vector<std::string_view> words = SplitWords(content);
            if (words.empty()) continue;
            if (!formatSeen_) {
                if (TrimLine(content) != kDatabaseFormatLine)
                    Fail("not a database of this program: the first line must be \"" +
                         std::string(kDatabaseFormatLine) + "\"");
                formatSeen_ = true;
                continue;
            }
            Line(words);
        }
        if (!formatSeen_) Fail("empty file");
        Finish();
        db_.SetDescription(description);
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        std::string where = source_ + ", line " + std::to_string(lineNo_);
        if (open_) where += " (species " + record_.Name + ")";
        throw DatabaseError(where + ": " + what);
    }

    double Value(const std::vector<std::string_view>& words, std::size_t& k) {
        const std::string key(words[k]);
        if (++k >= words.size()) Fail("no value after \"" + key + "\"");
        std::optional<double> v = ParseNumber(words[k]);
        if (!v) Fail("value of " + key + ": \"" + std::string(words[k]) + "\" is not a number");
        ++k;
        return *v;
    }

    // A further value of a keyword that takes several (k stands on it already).
    double NextValue(const std::vector<std::string_view>& words, std::size_t& k,
                     std::string_view key) {
        if (k >= words.size()) Fail("too few values after \"" + std::string(key) + "\"");
        std::optional<double> v = ParseNumber(words[k]);
        if (!v)
            Fail("value of " + std::string(key) + ": \"" + std::string(words[k]) +
                 "\" is not a number");
        ++k;
        return *v;
    }

    std::string Word(const std::vector<std::string_view>& words, std::size_t& k) {
        const std::string key(words[k]);
        if (++k >= words.size()) Fail("no value after \"" + key + "\"");
        return std::string(words[k++]);
    }

    void NeedRecord(std::string_view key) {
        if (!open_) Fail("\"" + std::string(key) + "\" before the first \"species\" line");
    }

    void Line(const std::vector<std::string_view>& words) {
        std::size_t k = 0;
        while (k < words.size()) {
            const std::string_view key = words[k];
            if (key == "units") {
                if (speciesSeen_) Fail("\"units\" must come before the first species");
                const std::string unit = Word(words, k);
                if (unit == "cal")
                    energy_ = kCalorie;
                else if (unit == "J")
                    energy_ = 1.0;
                else
                    Fail("unknown energy unit \"" + unit + "\" (cal or J)");
                continue;
            }
            if (key == "species") {
                if (!energy_)
                    Fail("a \"units\" line (cal or J) must come before the first species");
                Finish();
                record_ = SpeciesRecord{};
                record_.Name = Word(words, k);
                open_ = true;
                speciesSeen_ = true;
                kindSeen_ = false;
                hkf_.fill(std::nullopt);
                continue;
            }
            NeedRecord(key);
            if (key == "ref") {
                // The rest of the line is free text.
                std::string text;
                for (std::size_t j = k + 1; j < words.size(); ++j) {
                    if (!text.empty()) text += ' ';
                    text.append(words[j]);
                }
                if (!record_.Reference.empty()) record_.Reference += "; ";
                record_.Reference += text;
                return;
            }
            const double e = *energy_;
            if (key == "kind") {
                const std::string kind = Word(words, k);
                if (kind == "aqueous")
                    record_.Kind = SpeciesKind::Aqueous;
                else if (kind == "mineral")
                    record_.Kind = SpeciesKind::Mineral;
                else if (kind == "gas")
                    record_.Kind = SpeciesKind::Gas;
                else if (kind == "water")
                    record_.Kind = SpeciesKind::Water;
                else
                    Fail("unknown kind \"" + kind + "\" (aqueous, mineral, gas or water)");
                kindSeen_ = true;
            } else if (key == "formula") {
                record_.FormulaText = Word(words, k);
                std::string error;
                std::optional<Formula> f = TryParseFormula(record_.FormulaText, &error);
                if (!f) Fail(error);
                record_.Composition = *f;
            } else if (key == "G") {
                record_.G = Value(words, k) * e;
            } else if (key == "H") {
                record_.H = Value(words, k) * e;
            } else if (key == "S") {
                record_.S = Value(words, k) * e;
            } else if (key == "V") {
                record_.V = Value(words, k) * kCubicCentimetre;
            } else if (key == "Cp") {
                record_.Cp = Value(words, k) * e;
            } else if (key == "cp") {
                // Cp = a + bT + c/T²: three values after one keyword.
                HeatCapacity cp;
                cp.a = Value(words, k) * e;
                cp.b = NextValue(words, k, "cp") * e;
                cp.c = NextValue(words, k, "cp") * e;
                record_.HeatCapacities.push_back(cp);
            } else if (key == "transition") {
                PhaseTransition t;
                t.Temperature = Value(words, k);
                t.Enthalpy = NextValue(words, k, "transition") * e;
                t.Volume = NextValue(words, k, "transition") * kCubicCentimetre;
                t.Slope = NextValue(words, k, "transition") * kBar;
                if (t.Temperature <= 0) Fail("transition temperature must be positive (K)");
                record_.Transitions.push_back(t);
            } else if (key == "tmax") {
                record_.MaxTemperature = Value(words, k);
            } else if (key == "volume") {
                const std::string model = Word(words, k);
                if (model == "constant")
                    record_.Volume = VolumeModel::Constant;
                else if (model == "quartz")
                    record_.Volume = VolumeModel::AlphaQuartz;
                else if (model == "coesite")
                    record_.Volume = VolumeModel::Coesite;
                else
                    Fail("unknown volume model \"" + model + "\" (constant, quartz or coesite)");
            } else if (!HkfKey(words, k)) {
                Fail("unknown keyword \"" + std::string(key) + "\"");
            }
        }
    }

    bool HkfKey(const std::vector<std::string_view>& words, std::size_t& k) {
        for (std::size_t j = 0; j < kHkfKeys.size(); ++j)
            if (words[k] == kHkfKeys[j]) {
                hkf_[j] = Value(words, k);
                return true;
            }
        return false;
    }

    void Finish() {
        if (!open_) return;
        if (!kindSeen_) Fail("no \"kind\"");
        if (record_.FormulaText.empty()) Fail("no \"formula\"");
        std::size_t given = 0;
        for (const auto& v : hkf_)
            given += v ? 1 : 0;
        if (given != 0 && given != kHkfKeys.size())
            Fail(
                "HKF parameters incomplete: give all of a1, a2, a3, a4, c1, c2 and omega, or none");
        if (given != 0) {
            if (record_.Kind != SpeciesKind::Aqueous)
                Fail("HKF parameters on a substance that is not aqueous");
            const double e = *energy_;
            record_.Hkf =
                HkfParameters{*hkf_[0] * e / kBar, *hkf_[1] * e, *hkf_[2] * e / kBar, *hkf_[3] * e,
                              *hkf_[4] * e,        *hkf_[5] * e, *hkf_[6] * e};
        }
        if (!record_.Transitions.empty() &&
            record_.HeatCapacities.size() != record_.Transitions.size() + 1)
            Fail("give one \"cp\" line per phase: " + std::to_string(record_.Transitions.size()) +
                 " transitions need " + std::to_string(record_.Transitions.size() + 1));
        if (record_.Kind == SpeciesKind::Gas && !record_.Transitions.empty())
            Fail("a gas has no phase transitions");
        AssignRole(record_);
        db_.Add(std::move(record_));
        open_ = false;
    }

    Database& db_;
    std::string source_;
    int lineNo_ = 0;
    bool formatSeen_ = false;
    std::optional<double> energy_;
    bool open_ = false;
    bool speciesSeen_ = false;
    bool kindSeen_ = false;
    SpeciesRecord record_;
    std::array<std::optional<double>, 7> hkf_{};
};

}  // namespace

void ReadDatabaseText(std::istream& in, Database& database, const std::string& source) {
    TextParser(database, source).Run(in);
}

void WriteRecordText(std::ostream& out, const SpeciesRecord& r, double energyUnit) {
    const double e = energyUnit;
    out << "species " << r.Name << "\n";
    out << "  kind " << KindName(r.Kind) << "  formula " << r.FormulaText << "\n";
    std::string props;
    auto add = [&props](std::string_view key, const std::optional<double>& v, double scale) {
        if (v) props += "  " + std::string(key) + " " + FormatNumber(*v / scale);
    };
    add("G", r.G, e);
    add("H", r.H, e);
    add("S", r.S, e);
    add("V", r.V, kCubicCentimetre);
    add("Cp", r.Cp, e);
    if (!props.empty()) out << props << "\n";
    if (r.Hkf) {
        const HkfParameters& p = *r.Hkf;
        out << "  a1 " << FormatNumber(p.a1 * kBar / e) << "  a2 " << FormatNumber(p.a2 / e)
            << "  a3 " << FormatNumber(p.a3 * kBar / e) << "  a4 " << FormatNumber(p.a4 / e)
            << "\n";
        out << "  c1 " << FormatNumber(p.c1 / e) << "  c2 " << FormatNumber(p.c2 / e) << "  omega "
            << FormatNumber(p.omega / e) << "\n";
    }
    for (std::size_t i = 0; i < r.HeatCapacities.size(); ++i) {
        const HeatCapacity& cp = r.HeatCapacities[i];
        out << "  cp " << FormatNumber(cp.a / e) << " " << FormatNumber(cp.b / e) << " "
            << FormatNumber(cp.c / e) << "\n";
        if (i < r.Transitions.size()) {
            const PhaseTransition& t = r.Transitions[i];
            out << "  transition " << FormatNumber(t.Temperature) << " "
                << FormatNumber(t.Enthalpy / e) << " " << FormatNumber(t.Volume / kCubicCentimetre)
                << " " << FormatNumber(t.Slope / kBar) << "\n";
        }
    }
    if (r.MaxTemperature > 0) out << "  tmax " << FormatNumber(r.MaxTemperature) << "\n";
    if (r.Volume == VolumeModel::AlphaQuartz) out << "  volume quartz\n";
    if (r.Volume == VolumeModel::Coesite) out << "  volume coesite\n";
    if (!r.Reference.empty()) {
        std::string ref = r.Reference;
        for (char& c : ref)
            if (c == '#' || c == '\n' || c == '\r') c = ' ';
        out << "  ref " << ref << "\n";
    }
}

void WriteDatabaseText(std::ostream& out, const Database& database, const std::string& header) {
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find('\n', start);
        if (end == std::string::npos) end = header.size();
        const std::string_view line(header.data() + start, end - start);
        out << (line.empty() ? "#" : "# ") << line << "\n";
        start = end + 1;
    }
    out << kDatabaseFormatLine << "\n";
    out << "units cal    # energies in cal/mol and cal/(mol K); volumes cm3/mol; pressures bar; "
           "temperatures K\n";
    for (const SpeciesRecord& r : database.Records()) {
        out << "\n";
        WriteRecordText(out, r);
    }
}

}  // namespace varsel::engine::thermo
