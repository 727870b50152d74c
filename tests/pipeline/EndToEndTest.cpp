// The command line with the real engine on the shipped examples: it reports and exits as it
// should, an interrupt leaves a whole data file, its report file holds the numbers written into
// the data file, and a re-run that fits nothing keeps the half-widths.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "PipelineFixture.h"
#include "engine/EngineFactory.h"
#include "optim/FitDriver.h"

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
        context.Engine = &realEngine;
    }
    engine::EngineFactory realEngine;
};

int RunCli(const std::string& arguments, std::string& output) {
    return RunCommand(std::string(VARSEL_CLI_PATH) + " " + arguments, output);
}

// SIGINT at moments drawn at random in a long run that saves on failure: the run ends in order
// with 130, and the data file is either untouched or rewritten whole with one point: run
// again with every species now fixed, it gives the same cells back to the file's seven
// digits (its Y (calc) and mean errors are those of its values). No temporary is left beside it; a
// temporary left by a killed writer goes at the next run, other files stay.
TEST_F(EndToEndTest, InterruptedCommandLineSavesOnePoint) {
    // The example's samples, sixty times over.
    std::string original = Example("agcl.txt");
    const std::size_t table = original.find("\r\nS01") + 2;
    const std::string rows = original.substr(table, original.rfind("\r\n\r\n") + 2 - table);
    original.resize(table);
    for (int copy = 0; copy < 60; ++copy) {
        // Each copy's samples are named C<copy><number> in place of S<number>.
        std::string renamed = rows;
        const std::string prefix = 'C' + std::to_string(copy);
        for (std::size_t at = 0; at != std::string::npos; at = renamed.find("\r\nS", at)) {
            if (at != 0) at += 2;
            renamed.replace(at, 1, prefix);
        }
        original += renamed;
    }
    original += "\r\n";
    std::random_device seed;
    std::mt19937 draw(seed());
    for (int round = 0; round < 4; ++round) {
        // From the first progress line to well into the iterations.
        const int delayMs = std::uniform_int_distribution<int>(0, 1200)(draw);
        SCOPED_TRACE(testing::Message() << "SIGINT after " << delayMs << " ms");
        folder.Write("agcl.txt", original);
        folder.Write(".varsel-aB3xZ9", "stale");
        folder.Write(".varsel-notours", "not ours");
        const std::string file = (folder.Path() / "agcl.txt").string();
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dup2(pipeEnds[1], STDOUT_FILENO);
            close(pipeEnds[0]);
            execl(VARSEL_CLI_PATH, VARSEL_CLI_PATH, "--save-on-failure", file.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        // The first progress line shows that the signals are caught.
        std::string output;
        char c = 0;
        while (output.find("Reading data file...") == std::string::npos &&
               read(pipeEnds[0], &c, 1) == 1)
            output.push_back(c);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(child, SIGINT);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(pipeEnds[0]);
        ASSERT_TRUE(WIFEXITED(status)) << "the signal is handled, not fatal";
        const int code = WEXITSTATUS(status);
        EXPECT_TRUE(code == 130 || code == 0) << code;

        const std::string written = folder.Read("agcl.txt");
        if (written != original) {
            EXPECT_EQ(RunCli(file, output), 0) << output;
            ExpectSameCells(folder.Read("agcl.txt"), written, 2e-5);
        }
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{".varsel-notours", "agcl.txt"}));
        fs::remove(folder.Path() / ".varsel-notours");
    }
}

// The data file's rows of tab-separated cells.
std::vector<std::vector<std::string>> Rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line, '\n');) {
        std::istringstream cells(line.substr(0, line.find('\r')));
        rows.emplace_back();
        for (std::string cell; std::getline(cells, cell, '\t');)
            rows.back().push_back(cell);
    }
    return rows;
}

// The number a data-file cell holds, and a JSON value, agree to the file's seven digits.
void ExpectSame(const std::string& cell, const QJsonValue& value) {
    ASSERT_FALSE(cell.empty());
    const double written = std::stod(cell);
    EXPECT_NEAR(value.toDouble(), written, 1e-6 * std::fabs(written) + 1e-12) << cell;
}

TEST_F(EndToEndTest, CommandLineReportsSavesAndExitsAndReRunKeepsTheResults) {
    folder.Write("agcl.txt", Example("agcl.txt"));
    const std::string file = (folder.Path() / "agcl.txt").string();
    const std::string json = (folder.Path() / "agcl.json").string();
    std::string output;
    EXPECT_EQ(RunCli(folder.AsWorkFolder(), output), 1);
    EXPECT_NE(output.find(folder.AsWorkFolder() + ": Is a directory  "), std::string::npos)
        << output;
    EXPECT_EQ(RunCli("", output), 2);
    EXPECT_EQ(RunCli("one.txt two.txt", output), 2);

    // A file that cannot take the results stops the run before the fit, unless told not to save.
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    const int unwritable = RunCli(file, output);
    if (geteuid() != 0) {
        EXPECT_EQ(unwritable, 1);
        EXPECT_EQ(output.find("Initial estimating"), std::string::npos) << output;
    }
    // As root the run above could write; the file is put back so that its species are free.
    if (geteuid() == 0) folder.Write("agcl.txt", Example("agcl.txt"));
    const std::string before = folder.Read("agcl.txt");
    EXPECT_EQ(RunCli("--no-save " + file, output), 0) << output;
    EXPECT_NE(output.find("\nResults are not saved   AgCl,aq: "), std::string::npos) << output;
    EXPECT_EQ(folder.Read("agcl.txt"), before);
    fs::permissions(folder.Path(), fs::perms::owner_all);

    // Without a runtime folder (as root, or from a service) Qt would warn on the console.
    ASSERT_EQ(RunCommand("env -u XDG_RUNTIME_DIR " + std::string(VARSEL_CLI_PATH) + " --report " +
                             json + " " + file,
                         output),
              0)
        << output;
    EXPECT_EQ(output.find("QStandardPaths"), std::string::npos) << output;
    EXPECT_NE(output.find("Reading data file...\n"), std::string::npos) << output;
    EXPECT_NE(output.find("\nResults are saved  \n"), std::string::npos) << output;
    EXPECT_NE(output.find("Mean error: "), std::string::npos) << output;
    const std::string fitted = folder.Read("agcl.txt");

    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(FileBytes(json))).object();
    ASSERT_TRUE(report["succeeded"].toBool()) << FileBytes(json);
    const auto rows = Rows(fitted);
    const auto row = [&rows](std::size_t column, const std::string& key) {
        for (const auto& r : rows)
            if (r.size() > column && r[column] == key) return r;
        return std::vector<std::string>();
    };
    const QJsonArray species = report["species"].toArray();
    ASSERT_EQ(species.size(), 3);
    for (const QJsonValue& v : species) {
        const auto r = row(1, v["name"].toString().toStdString());
        ASSERT_GE(r.size(), 5u) << v["name"].toString().toStdString();
        ExpectSame(r[3], v["value"]);
        ExpectSame(r[4], v["halfWidth95"]);
    }
    const auto meanErrors = row(0, "Mean err.:");
    ASSERT_EQ(meanErrors.size(), 4u);
    ExpectSame(meanErrors[2], report["meanError"]["before"]);
    ExpectSame(meanErrors[3], report["meanError"]["after"]);
    const auto header = row(0, "Sample");
    const auto yCalc = std::find(header.begin(), header.end(), "Y (calc)") - header.begin();
    const auto yExp = yCalc - 1;
    const QJsonArray samples = report["samples"].toArray();
    ASSERT_GE(samples.size(), 20);
    for (const QJsonValue& p : samples) {
        const auto r = row(0, p["name"].toString().toStdString());
        ASSERT_GT(r.size(), static_cast<std::size_t>(yCalc));
        ExpectSame(r[yCalc], p["yCalc"]);
        // A measured value typed with a few digits comes back as typed, without float noise.
        EXPECT_EQ(p["yExp"].toDouble(), std::stod(r[yExp])) << r[yExp];
    }
    EXPECT_EQ(report["correlation"]["matrix"].toArray().size(), 3);
    EXPECT_EQ(report["correlation"]["species"].toArray().size(), 3);
    // What the report is and where it came from.
    EXPECT_EQ(report["schemaVersion"].toInt(), 1);
    EXPECT_FALSE(report["program"]["version"].toString().isEmpty());
    EXPECT_EQ(report["dataFile"]["path"].toString().toStdString(), file);
    EXPECT_EQ(report["dataFile"]["sha256"].toString().size(), 64);
    EXPECT_EQ(report["conditions"]["databaseSha256"].toString().size(), 64);
    ExpectSame(row(0, "T, C:")[1], report["conditions"]["temperatureC"]);
    EXPECT_EQ(report["conditions"]["activityModel"].toString(), "bdot");
    EXPECT_TRUE(report["axes"]["y"]["log10"].toBool());
    EXPECT_EQ(report["species"][0]["unit"].toString(), "kJ/mol");

    // A second run fits nothing: it says so, keeps every half-width, and its HTML report is
    // one well-formed page with both plots.
    const std::string html = (folder.Path() / "agcl.html").string();
    ASSERT_EQ(RunCli("--report " + html + " " + file, output), 0) << output;
    EXPECT_NE(output.find("Nothing to fit: every species has a Result; empty a Result cell to "
                          "fit it again.    Mean error: "),
              std::string::npos)
        << output;
    const auto again = Rows(folder.Read("agcl.txt"));
    for (const auto& r : again) {
        if (r.size() > 1 && !r[1].empty() && r[0].empty()) {
            EXPECT_EQ(r, row(1, r[1]));
        }
    }
    QXmlStreamReader page(QByteArray::fromStdString(FileBytes(html)));
    int plots = 0;
    QStringList closed;
    while (!page.atEnd()) {
        page.readNext();
        if (page.isStartElement() && page.name() == QLatin1String("svg")) ++plots;
        if (page.isEndElement()) closed << page.name().toString();
    }
    EXPECT_FALSE(page.hasError()) << page.errorString().toStdString();
    EXPECT_EQ(plots, 2);
    EXPECT_TRUE(closed.contains("table") && closed.endsWith("html"));
}

// The boehmite data of Benezeth, Palmer & Wesolowski (2001) with five Al species started at
// their optimum, where the Gauss–Newton steps circle without shrinking: the fit converges
// there, within 0.01 kJ/mol of its start, and is saved. The agcl example at 60 °C, whose
// AgCl,aq the data do not see, still ends as a drift.
TEST_F(EndToEndTest, StallAtTheOptimumIsASuccessAndARealDriftAFailure) {
    const fs::path stall = fs::path(VARSEL_TEST_DATA_DIR) / "stall";
    folder.Write("thermo-al.vdb",
                 FileBytes(fs::path(VARSEL_SOURCE_DATA_DIR) / "databases" / "thermo.vdb") +
                     FileBytes(stall / "hcl-gas.vdb"));
    folder.Write("al.sys", FileBytes(stall / "al.sys"));
    folder.Write("boehmite.txt", FileBytes(stall / "boehmite-101.txt"));
    std::string output;
    ASSERT_EQ(RunCli((folder.Path() / "boehmite.txt").string(), output), 0) << output;
    EXPECT_NE(output.find("\nResults are saved  \n"), std::string::npos) << output;
    const auto rows = Rows(folder.Read("boehmite.txt"));
    for (std::size_t r = 8; r <= 12; ++r) {
        ASSERT_GE(rows[r].size(), 5u);
        EXPECT_NEAR(std::stod(rows[r][3]), std::stod(rows[r][2]), 0.01) << rows[r][1];
    }

    std::string agcl = Example("agcl.txt");
    agcl.replace(agcl.find("T, C:\t25"), 8, "T, C:\t60");
    folder.Write("agcl.txt", agcl);
    window.Path = "agcl.txt";
    ASSERT_EQ(ReadDataFile(m, context), 0) << m.StatusText;
    FitParameters(m, context);
    EXPECT_EQ(m.StatusText.rfind("the data do not determine AgCl,aq: it drifted from ", 0), 0u)
        << m.StatusText;
}

// A measured pH per sample (−log m(H+)) with the boehmite System of the examples: Y made by
// the engine at known values of three Al species (about 1.5 kJ/mol from the database's) gives
// those values back; the engine adds the acid below the solution's own pH and the base above
// it, nothing to a sample without a pH; and the pH cells are written back as they were read.
TEST_F(EndToEndTest, MeasuredPhPerSampleGivesTheSpeciesBack) {
    folder.Write("boehmite-ph.sys",
                 FileBytes(fs::path(VARSEL_EXAMPLES_DIR) / "boehmite-ph" / "boehmite-ph.sys"));
    const std::vector<std::string> ph = {"3.0", "4", "5.00", "6.5", "8", "9.5", ""};
    const std::vector<std::string> truth = {"-456", "-678.73", "-652.39", "-870.5", "-827.5"};
    // The free species (the first and the last two) start from the database when `fixed` is
    // false; Y is 0 before it is made.
    const auto write = [&](bool fixed, const std::vector<std::string>& y) {
        std::string text =
            "pH series\r\nDatabase:\tthermo\r\nSystem:\tboehmite-ph\r\nOptions:\t/ph=molal\r\n"
            "T, C:\t101\r\nP, bar:\t0\r\nP.m.c.:\t0\r\nSpecies:\t5\tInitial\tResult\t \xB1\r\n";
        const char* names[] = {"Al+3", "AlOH+2", "AlO+", "HAlO2,aq", "AlO2-"};
        for (std::size_t i = 0; i < 5; ++i) {
            const std::string value = fixed || i == 1 || i == 2 ? truth[i] : "";
            text += std::string("\t") + names[i] + "\t" + value + "\t" + value + "\r\n";
        }
        text +=
            "Mean err.:\r\nX axis:\tfixed\r\nY axis:\tm(Al)\r\n\r\nSample\tpH\tNaCl\tAlO(OH)"
            "\tWeight\tX\tY (exp)\tY (calc)\terror\textras\r\n";
        for (std::size_t k = 0; k < ph.size(); ++k) {
            text += "s" + std::to_string(k) + "\t" + ph[k] + "\t0.03\t0.1\t100\t" +
                    std::to_string(k) + "\t" + (y.empty() ? "0" : y[k]) + "\r\n";
        }
        folder.Write("data.txt", text + "\r\n");
    };
    write(true, {});
    ASSERT_EQ(ReadDataFile(m, context), 0) << m.StatusText;
    FitParameters(m, context);
    ASSERT_EQ(m.StatusCode, 0) << m.StatusText;
    std::vector<std::string> y;
    for (int k = 1; k <= m.SampleCount; ++k)
        y.push_back(ShortForm(m.Samples[k].YCalc));

    write(false, y);
    const std::string json = (folder.Path() / "ph.json").string();
    std::string output;
    ASSERT_EQ(RunCli("--report " + json + " " + (folder.Path() / "data.txt").string(), output), 0)
        << output;
    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(FileBytes(json))).object();
    const QJsonArray species = report["species"].toArray();
    ASSERT_EQ(species.size(), 3);
    for (int f = 0; f < 3; ++f)
        EXPECT_NEAR(species[f]["value"].toDouble(), std::stod(truth[f == 0 ? 0 : f + 2]), 0.01);
    const QJsonObject imposed = report["imposedPh"].toObject();
    EXPECT_EQ(imposed["scale"].toString() + imposed["acid"].toString() + imposed["base"].toString(),
              "molalHClNaOH");
    const QJsonArray samples = imposed["samples"].toArray();
    ASSERT_EQ(samples.size(), 7);
    EXPECT_GT(samples[0]["titrant"].toDouble(), 0);
    EXPECT_LT(samples[5]["titrant"].toDouble(), 0);
    EXPECT_TRUE(samples[6]["pH"].isNull() && samples[6]["titrant"].toDouble() == 0);
    const auto rows = Rows(folder.Read("data.txt"));
    for (std::size_t k = 0; k < ph.size(); ++k)
        EXPECT_EQ(rows[18 + k][1], ph[k]);
}

}  // namespace
}  // namespace varsel::test
