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
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "PipelineFixture.h"
#include "engine/EngineFactory.h"

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

// SIGINT at different moments of a long run that saves on failure: the run ends in order
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
        std::string renamed = "\r\n" + rows;
        for (std::size_t at = renamed.find("\r\nS"); at != std::string::npos;
             at = renamed.find("\r\nS", at + 2))
            renamed.replace(at + 2, 1, "C" + std::to_string(copy));
        original += renamed.substr(2);
    }
    original += "\r\n";
    for (int delayMs : {0, 100, 300, 700}) {
        SCOPED_TRACE(delayMs);
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

    ASSERT_EQ(RunCli("--report " + json + " " + file, output), 0) << output;
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

}  // namespace
}  // namespace varsel::test
