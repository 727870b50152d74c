// The results writer: the exact bytes of a small file against a golden file, the failures that
// must leave the data file as it was (a fault part-way), and what a rewrite keeps.
#include <sys/xattr.h>

#include <filesystem>

#include "PipelineFixture.h"
#include "output/ResultsWriter.h"

namespace varsel::test {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(VARSEL_TEST_DATA_DIR) / "pipeline" / "results-small.txt";

// The worked example with a second sample that has no NaCl and no weight.
std::vector<std::string> SmallExample() {
    std::vector<std::string> lines = WorkedExample();
    lines[17] = "s2\t-236.5\t0\t\t\t-0.43";
    return lines;
}

// What a fit would have left in the model.
void SetResults(ProblemModel& m) {
    m.SpeciesValue[1] = -262.0831f;
    m.SpeciesInterval[1] = 0.05f;
    m.InitialSumOfSquares = 0.5f;
    m.ResultSumOfSquares = 0.02f;
    m.ResultReached = true;
    m.Samples[1].XFixed = -0.9586073f;
    m.Samples[1].YCalc = -1.0512f;
    m.Samples[1].Error = -0.0012f;
    m.Samples[1].Extras = 2;
    m.Samples[2].XFixed = 1.5e-7f;
    m.Samples[2].YCalc = -0.4301f;
    m.Samples[2].Error = 1.2345678e7f;
}

class WriterTest : public PipelineTest {
  protected:
    // The folder's entries other than data.txt (a temporary file left behind, say).
    std::vector<std::string> Strays() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            if (entry.path().filename() != "data.txt") names.push_back(entry.path().filename());
        }
        return names;
    }
};

TEST_F(WriterTest, SmallFileMatchesTheGoldenBytes) {
    ASSERT_EQ(Read(SmallExample()), 0) << m.StatusText;
    SetResults(m);
    SaveResults(m, context);
    ASSERT_EQ(m.StatusCode, 0);
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(window.LastCaption(), "Saving results...");
    EXPECT_EQ(folder.Read("data.txt"), FileBytes(kGolden));
    EXPECT_TRUE(Strays().empty());
}

// The end row of the sample table and everything below it are the user's: a row after an
// empty one, a note, odd line ends, a last line without its end all come back as they were.
TEST_F(WriterTest, LinesBelowTheTableComeBackAsTheyWere) {
    std::vector<std::string> lines = SmallExample();
    lines.pop_back();
    const std::string below = "\t\tx\r\ns3\t\t0.2\t1\t\t-0.9\nNote: \xB1 2019\r\r\nend";
    folder.Write("data.txt", JoinLines(lines) + below);
    ReleaseEngine();
    ASSERT_EQ(ReadDataFile(m, context), 0) << m.StatusText;
    EXPECT_EQ(m.SampleCount, 2);
    SetResults(m);
    SaveResults(m, context);
    ASSERT_EQ(m.StatusCode, 0);
    std::string golden = FileBytes(kGolden);
    golden.resize(golden.size() - 2);  // its own end row, an empty line
    EXPECT_EQ(folder.Read("data.txt"), golden + below);
}

TEST_F(WriterTest, FaultWhileWritingKeepsTheOldFile) {
    ASSERT_EQ(Read(SmallExample()), 0);
    SetResults(m);
    const std::string original = folder.Read("data.txt");
    m.WeightSum = 0;
    SaveResults(m, context);
    EXPECT_EQ(m.StatusCode, 2);
    EXPECT_EQ(window.Messages,
              (Shown{{"Error11 while writing results to the file: " +
                          (folder.Path() / "data.txt").string() + ": Division by zero",
                      MessageButtons::Ok, MessageIcon::Critical}}));
    EXPECT_EQ(folder.Read("data.txt"), original);
    EXPECT_TRUE(Strays().empty());
}

TEST_F(WriterTest, PermissionsAttributesAndSymbolicLinksSurviveTheRewrite) {
    ASSERT_EQ(Read(SmallExample()), 0);
    SetResults(m);
    folder.Write("real.txt", folder.Read("data.txt"));
    fs::remove(folder.Path() / "data.txt");
    fs::create_symlink("real.txt", folder.Path() / "data.txt");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(folder.Path() / "real.txt", mode);
    const std::string real = (folder.Path() / "real.txt").string();
    const bool attributes = setxattr(real.c_str(), "user.origin", "lab", 3, 0) == 0;
    SaveResults(m, context);
    ASSERT_EQ(m.StatusCode, 0);
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "data.txt"));
    EXPECT_EQ(fs::status(folder.Path() / "real.txt").permissions(), mode);
    char value[8] = {};
    EXPECT_TRUE(!attributes || getxattr(real.c_str(), "user.origin", value, sizeof value) == 3);
    EXPECT_EQ(folder.Read("real.txt"), FileBytes(kGolden));
}

}  // namespace
}  // namespace varsel::test
