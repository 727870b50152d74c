// Robustness of the reader: thousands of randomly damaged data files, each of which must
// end with one of the reader's status codes, never with a crash, a hang or an exception,
// and a file that still reads must leave only finite numbers in the model.
#include <cmath>
#include <filesystem>
#include <random>
#include <set>

#include "PipelineFixture.h"

namespace varsel::test {
namespace {

namespace fs = std::filesystem;

// Bytes that mean something to the reader, more often than chance would pick them.
constexpr char kTelling[] = {'\t', '\r', '\n', ' ', '"', '-', '+',    '.',    ',',  'e', 'E',
                             '0',  '9',  '(',  ')', 'a', 'm', '\xB1', '\xC2', '\0', ':'};

const char* const kExtremes[] = {"1e38", "-1e39", "99999", "-32769", "1e-45", "nan",  "inf",
                                 "",     "0",     "-0",    "1,5",    "1.5.5", "\"\"", "9e999"};

class Mutator {
  public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    std::string Damage(std::string text) {
        const int edits = Pick(1, 4);
        for (int i = 0; i < edits && !text.empty(); ++i)
            Edit(text);
        return text;
    }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    std::size_t Position(const std::string& text) {
        return static_cast<std::size_t>(Pick(0, static_cast<int>(text.size()) - 1));
    }
    char Byte() {
        if (Pick(0, 2) == 0) return static_cast<char>(Pick(0, 255));
        return kTelling[Pick(0, static_cast<int>(sizeof kTelling) - 1)];
    }

    void Edit(std::string& text) {
        switch (Pick(0, 4)) {
            case 0:
                text[Position(text)] = Byte();
                break;
            case 1:
                text.insert(Position(text), 1, Byte());
                break;
            case 2:
                text.erase(Position(text), static_cast<std::size_t>(Pick(1, 12)));
                break;
            case 3:
                text.resize(Position(text));
                break;
            default: {  // a number-like token becomes an extreme one
                const std::size_t at = text.find_first_of("0123456789", Position(text));
                if (at == std::string::npos) break;
                const std::size_t end = text.find_first_not_of("0123456789.-+eE", at);
                text.replace(at, (end == std::string::npos ? text.size() : end) - at,
                             kExtremes[Pick(0, static_cast<int>(std::size(kExtremes)) - 1)]);
                break;
            }
        }
    }

    std::mt19937 random_;
};

// The undamaged files, all read with the sodium chloride script.
std::vector<std::string> Seeds() {
    std::vector<std::string> seeds = {JoinLines(WorkedExample())};
    // Three species, a fixed X axis, a given per-sample potential and a zero weight.
    std::vector<std::string> complexing = WorkedExample();
    complexing[8] = "Species:\t3\tInitial\tResult\t\" \xC2\xB1\"";
    complexing.insert(complexing.begin() + 11, "\tNaCl,aq\t-390\t\t0.5");
    complexing[13] = "X axis:\tfixed";
    complexing[17] = "s1\t-236\t0.1\t1\t0.5\t-1.05";
    complexing[18] = "s2\t\t0.5\t0\t0.7\t-0.43";
    seeds.push_back(JoinLines(complexing));
    seeds.push_back(FileBytes(fs::path(VARSEL_TEST_DATA_DIR) / "pipeline" / "results-small.txt"));
    return seeds;
}

bool FiniteModel() {
    const ProblemModel& m = Model();
    bool finite = std::isfinite(m.TempC) && std::isfinite(m.PressureBar) &&
                  std::isfinite(m.WeightSum) && m.WeightSum >= 0;
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        finite = finite && std::isfinite(m.SpeciesInitial[i]) && std::isfinite(m.SpeciesValue[i]) &&
                 std::isfinite(m.SpeciesScale[i]);
    }
    for (int s = 1; s <= m.PmcSlots; ++s)
        finite = finite && std::isfinite(m.PmcPotential[s]);
    for (int k = 1; k <= m.SampleCount; ++k) {
        const SampleRec& sample = m.Samples[k];
        finite = finite && std::isfinite(sample.YExp) && std::isfinite(sample.XFixed) &&
                 sample.Weight >= 0;
        for (int f = 1; f <= m.FormulaCount; ++f)
            finite = finite && sample.Amounts[f] >= 0 && std::isfinite(sample.Amounts[f]);
    }
    return finite;
}

class MutationTest : public PipelineTest {};

TEST_F(MutationTest, DamagedFilesAlwaysEndWithAStatusCode) {
    const std::vector<std::string> seeds = Seeds();
    for (const std::string& seed : seeds) {
        folder.Write("data.txt", seed);
        ReleaseEngine();
        ASSERT_EQ(ReadDataFile(), 0) << "undamaged seed: " << Model().StatusText << "\n" << seed;
    }

    Mutator mutator(12345);
    std::set<int> codes;
    int read = 0;
    constexpr int kFiles = 2000;
    for (int i = 0; i < kFiles; ++i) {
        const std::string damaged =
            mutator.Damage(seeds[static_cast<std::size_t>(i) % seeds.size()]);
        // A new file each time: rewriting one file makes the file system flush it to disk.
        window.Path = "damaged-" + std::to_string(i) + ".txt";
        folder.Write(window.Path, damaged);
        ReleaseEngine();
        std::int16_t code = 99;
        EXPECT_NO_THROW(code = ReadDataFile());
        EXPECT_EQ(code, Model().StatusCode);
        const bool known = code == 0 || code == -1 || (code >= 2 && code <= 28);
        EXPECT_TRUE(known) << "code " << code << " for:\n" << damaged;
        if (code == 0) {
            ++read;
            EXPECT_TRUE(FiniteModel()) << damaged;
        } else if (code > 0) {
            EXPECT_EQ(Model().StatusText.rfind(ReaderMessage(code), 0), 0u);
        }
        codes.insert(code);
        if (HasFailure()) break;
    }
    // The damage must reach deep into the files: many codes, and some files still read.
    EXPECT_GE(codes.size(), 15u);
    EXPECT_GT(read, kFiles / 50);
}

}  // namespace
}  // namespace varsel::test
