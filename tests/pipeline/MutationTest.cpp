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

// Bytes and number tokens that mean something to the reader, picked more often than chance.
constexpr char kTelling[] = "\t\r\n \"-+.,eE09()am\xB1\xC2:";
const char* const kExtremes[] = {"1e38", "-1e39", "99999", "-32769", "1e-45", "nan",  "inf",
                                 "",     "0",     "-0",    "1,5",    "1.5.5", "\"\"", "9e999"};

// One to four random edits: a byte replaced, inserted or erased, the text cut, or a
// number-like token made extreme.
std::string Damage(std::string text, std::mt19937& random) {
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    auto at = [&] { return static_cast<std::size_t>(pick(0, static_cast<int>(text.size()) - 1)); };
    auto byte = [&] {
        return pick(0, 2) == 0 ? static_cast<char>(pick(0, 255))
                               : kTelling[pick(0, static_cast<int>(sizeof kTelling) - 1)];
    };
    for (int i = pick(1, 4); i > 0 && !text.empty(); --i) {
        const int kind = pick(0, 4);
        if (kind == 0) text[at()] = byte();
        if (kind == 1) text.insert(at(), 1, byte());
        if (kind == 2) text.erase(at(), static_cast<std::size_t>(pick(1, 12)));
        if (kind == 3) text.resize(at());
        const std::size_t from = kind == 4 ? text.find_first_of("0123456789", at()) : text.npos;
        if (from == std::string::npos) continue;
        const std::size_t end = text.find_first_not_of("0123456789.-+eE", from);
        text.replace(from, (end == std::string::npos ? text.size() : end) - from,
                     kExtremes[pick(0, static_cast<int>(std::size(kExtremes)) - 1)]);
    }
    return text;
}

bool FiniteModel() {
    const ProblemModel& m = Model();
    bool ok = std::isfinite(m.TempC) && std::isfinite(m.PressureBar) && m.WeightSum >= 0 &&
              std::isfinite(m.WeightSum);
    for (int i = 1; i <= m.SpeciesCount; ++i)
        ok = ok && std::isfinite(m.SpeciesInitial[i]) && std::isfinite(m.SpeciesValue[i]) &&
             std::isfinite(m.SpeciesScale[i]);
    for (int s = 1; s <= m.PmcSlots; ++s)
        ok = ok && std::isfinite(m.PmcPotential[s]);
    for (int k = 1; k <= m.SampleCount; ++k) {
        const SampleRec& sample = m.Samples[k];
        ok = ok && std::isfinite(sample.YExp) && std::isfinite(sample.XFixed) && sample.Weight >= 0;
        for (int f = 1; f <= m.FormulaCount; ++f)
            ok = ok && sample.Amounts[f] >= 0 && std::isfinite(sample.Amounts[f]);
    }
    return ok;
}

using MutationTest = PipelineTest;

TEST_F(MutationTest, DamagedFilesAlwaysEndWithAStatusCode) {
    // Seeds: the worked example; one with three species, a fixed X axis, a given per-sample
    // potential and a zero weight; and a written results file.
    std::vector<std::string> complexing = WorkedExample();
    complexing[8] = "Species:\t3\tInitial\tResult\t\" \xC2\xB1\"";
    complexing.insert(complexing.begin() + 11, "\tNaCl,aq\t-390\t\t0.5");
    complexing[13] = "X axis:\tfixed";
    complexing[17] = "s1\t-236\t0.1\t1\t0.5\t-1.05";
    complexing[18] = "s2\t\t0.5\t0\t0.7\t-0.43";
    const std::vector<std::string> seeds = {
        JoinLines(WorkedExample()), JoinLines(complexing),
        FileBytes(std::filesystem::path(VARSEL_TEST_DATA_DIR) / "pipeline" / "results-small.txt")};
    for (const std::string& seed : seeds) {
        folder.Write("data.txt", seed);
        ReleaseEngine();
        ASSERT_EQ(ReadDataFile(), 0) << "undamaged seed: " << Model().StatusText << "\n" << seed;
    }

    std::mt19937 random(12345);
    std::set<int> codes;
    int read = 0;
    constexpr int kFiles = 2000;
    for (int i = 0; i < kFiles && !HasFailure(); ++i) {
        const std::string damaged =
            Damage(seeds[static_cast<std::size_t>(i) % seeds.size()], random);
        // A new file each time: rewriting one file makes the file system flush it to disk.
        window.Path = "damaged-" + std::to_string(i) + ".txt";
        folder.Write(window.Path, damaged);
        ReleaseEngine();
        std::int16_t code = 99;
        EXPECT_NO_THROW(code = ReadDataFile());
        EXPECT_EQ(code, Model().StatusCode);
        EXPECT_TRUE(code == 0 || code == -1 || (code >= 2 && code <= 28))
            << "code " << code << " for:\n"
            << damaged;
        EXPECT_TRUE(code != 0 || FiniteModel()) << damaged;
        EXPECT_TRUE(code <= 0 || Model().StatusText.rfind(ReaderMessage(code), 0) == 0)
            << Model().StatusText;
        read += code == 0;
        codes.insert(code);
    }
    // The damage must reach deep into the files: many codes, and some files still read.
    EXPECT_GE(codes.size(), 15u);
    EXPECT_GT(read, kFiles / 50);
}

}  // namespace
}  // namespace varsel::test
