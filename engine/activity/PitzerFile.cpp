#include "engine/activity/PitzerFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "model/RuntimeFailure.h"

namespace varsel::engine::activity {

namespace {

constexpr double kTr = 298.15;

struct Keyword {
    const char* Text;
    PitzerKind Kind;
};
constexpr Keyword kKeywords[] = {
    {"-B0", PitzerKind::B0},         {"-B1", PitzerKind::B1},       {"-B2", PitzerKind::B2},
    {"-C0", PitzerKind::C0},         {"-THETA", PitzerKind::Theta}, {"-LAMDA", PitzerKind::Lambda},
    {"-LAMBDA", PitzerKind::Lambda}, {"-ZETA", PitzerKind::Zeta},   {"-PSI", PitzerKind::Psi},
};

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        std::size_t j = i;
        while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j])))
            ++j;
        if (j > i) words.push_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

// A word in quotes for a message (appended piecewise: GCC 12 warns falsely on "'" + string).
std::string Quoted(std::string_view word) {
    std::string out(1, '\'');
    out.append(word);
    out.push_back('\'');
    return out;
}

// The species of an entry in a canonical order, so that "Na+ Cl-" and "Cl- Na+" are one key.
std::array<std::string, 3> Key(const PitzerEntry& e) {
    std::array<std::string, 3> key = e.Species;
    std::sort(key.begin(), key.begin() + SpeciesCount(e.Kind));
    return key;
}

}  // namespace

int SpeciesCount(PitzerKind kind) {
    return kind == PitzerKind::Zeta || kind == PitzerKind::Psi ? 3 : 2;
}

double PitzerTemperatureValue(const std::array<double, 6>& a, double t) {
    return a[0] + a[1] * (1.0 / t - 1.0 / kTr) + a[2] * std::log(t / kTr) + a[3] * (t - kTr) +
           a[4] * (t * t - kTr * kTr) + a[5] * (1.0 / (t * t) - 1.0 / (kTr * kTr));
}

PitzerParameters ParsePitzerText(std::string_view text, const std::string& source) {
    PitzerParameters out;
    out.Source = source;
    bool inBlock = false;
    PitzerKind kind = PitzerKind::B0;
    int lineNo = 0;
    std::size_t pos = 0;
    auto fail = [&](const std::string& why) {
        throw RuntimeFailure(kEngineFailure,
                             source + ", line " + std::to_string(lineNo) + ": " + why);
    };
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const std::vector<std::string_view> words = Words(line);
        if (words.empty()) continue;
        if (words[0].front() == '-' && words.size() == 1 &&
            !std::isdigit(static_cast<unsigned char>(words[0].size() > 1 ? words[0][1] : 'x'))) {
            const std::string word = Upper(words[0]);
            const auto it = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                         [&](const Keyword& k) { return word == k.Text; });
            if (it == std::end(kKeywords))
                fail(std::string("unknown block ")
                         .append(Quoted(words[0]))
                         .append(" (known: -B0 -B1 -B2 -C0 -THETA -LAMDA -ZETA -PSI)"));
            kind = it->Kind;
            inBlock = true;
            continue;
        }
        if (!inBlock && words.size() == 1 && Upper(words[0]) == "PITZER") continue;
        if (!inBlock) fail("a parameter line before the first block keyword");
        PitzerEntry e;
        e.Kind = kind;
        e.Line = lineNo;
        const int n = SpeciesCount(kind);
        const int numbers = static_cast<int>(words.size()) - n;
        if (numbers < 1 || numbers > 6)
            fail("expected " + std::to_string(n) + " species and 1 to 6 numbers, found " +
                 std::to_string(words.size()) + " fields");
        for (int k = 0; k < n; ++k)
            e.Species[static_cast<std::size_t>(k)] =
                std::string(words[static_cast<std::size_t>(k)]);
        for (int k = 0; k < numbers; ++k) {
            const std::string_view w = words[static_cast<std::size_t>(n + k)];
            double value = 0;
            const auto [ptr, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
            if (ec != std::errc() || ptr != w.data() + w.size() || !std::isfinite(value))
                fail(Quoted(w) + " is not a number");
            e.A[static_cast<std::size_t>(k)] = value;
        }
        for (const PitzerEntry& other : out.Entries)
            if (other.Kind == e.Kind && Key(other) == Key(e))
                fail("parameter given twice (first on line " + std::to_string(other.Line) + ")");
        out.Entries.push_back(std::move(e));
    }
    return out;
}

PitzerParameters ReadPitzerFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RuntimeFailure(kFileNotFound, "cannot read the Pitzer parameter file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return ParsePitzerText(text.str(), path);
}

}  // namespace varsel::engine::activity
