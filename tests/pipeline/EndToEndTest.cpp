// The whole run with the real engine on the shipped examples: the silver chloride example
// gives back the values its synthetic data were made with, and the command line reports and
// exits as it should.
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "PipelineFixture.h"
#include "engine/EngineFactory.h"
#include "shell/RunSequence.h"

namespace varsel::test {
namespace {

namespace fs = std::filesystem;

std::string Example(const std::string& name) {
    return FileBytes(fs::path(VARSEL_EXAMPLES_DIR) / name);
}

class EndToEndTest : public PipelineTest {
  protected:
    void SetUp() override {
        PipelineTest::SetUp();
        ThePlatform().Engine = &realEngine;
    }
    // Runs the sequence on a copy of an example; true when the results were saved.
    bool Run(const std::string& name) {
        folder.Write(name, Example(name));
        window = RecordingWindow();
        window.Path = name;
        RunSequence();
        return Model().StatusCode == 0 && window.Messages.size() == 1 &&
               window.Messages[0].Text == "Results are saved  ";
    }
    engine::EngineFactory realEngine;
};

TEST_F(EndToEndTest, SilverChlorideExampleGivesBackItsGeneratingValues) {
    ASSERT_TRUE(Run("agcl.txt")) << Model().StatusText;
    const ProblemModel& m = Model();
    // The data were made at the database values plus these offsets (kJ/mol).
    const double offsets[] = {0, 1.5, -2.0, 3.0};
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(m.SystemInfo.SpeciesNames[m.SpeciesIndex[i]]);
        ASSERT_TRUE(m.SpeciesFree[i]);
        const double truth = m.SpeciesInitial[i] + offsets[i];
        EXPECT_LE(std::fabs(m.SpeciesValue[i] - truth), 3 * m.SpeciesInterval[i]);
    }
    EXPECT_GE(m.SampleCount, 20);
    EXPECT_EQ(m.Samples[1].Extras, 1) << "chlorargyrite is present";
}

int RunCli(const std::string& arguments, std::string& output) {
    return RunCommand(std::string(VARSEL_CLI_PATH) + " " + arguments, output);
}

TEST_F(EndToEndTest, CommandLineReportsAndExits) {
    folder.Write("quartz.txt", Example("quartz.txt"));
    const std::string file = (folder.Path() / "quartz.txt").string();
    std::string output;
    EXPECT_EQ(RunCli(file, output), 0) << output;
    EXPECT_NE(output.find("Reading data file...\n"), std::string::npos) << output;
    EXPECT_NE(output.find("\nResults are saved  \n"), std::string::npos) << output;
    EXPECT_NE(output.find("SiO2,aq"), std::string::npos) << output;
    EXPECT_NE(output.find("Mean error: "), std::string::npos) << output;

    // A file that cannot take the results stops the run before the fit, unless told not to save.
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    const int unwritable = RunCli(file, output);
    if (geteuid() != 0) EXPECT_EQ(unwritable, 1);
    if (geteuid() != 0) EXPECT_EQ(output.find("Initial estimating"), std::string::npos) << output;
    const std::string before = folder.Read("quartz.txt");
    EXPECT_EQ(RunCli("--no-save " + file, output), 0) << output;
    EXPECT_NE(output.find("\nResults are not saved   SiO2,aq: "), std::string::npos) << output;
    EXPECT_EQ(folder.Read("quartz.txt"), before);
    fs::permissions(folder.Path(), fs::perms::owner_all);

    EXPECT_EQ(RunCli(folder.AsWorkFolder(), output), 1);
    EXPECT_NE(output.find(folder.AsWorkFolder() + ": Is a directory  "), std::string::npos)
        << output;
    EXPECT_EQ(RunCli("", output), 2);
    EXPECT_EQ(RunCli("one.txt two.txt", output), 2);
}

}  // namespace
}  // namespace varsel::test
