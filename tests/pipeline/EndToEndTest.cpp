// The whole run with the real engine on the shipped examples: each fits and saves, the
// silver chloride example gives back the values its synthetic data were made with, and the
// command line's report file holds the numbers written into the data
// file, and a re-run that fits nothing keeps the half-widths.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

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

TEST_F(EndToEndTest, EveryExampleFitsAndReadsBack) {
    for (const char* name : {"nacl.txt", "quartz.txt", "agcl.txt"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Run(name)) << Model().StatusText;
        const ProblemModel& m = Model();
        EXPECT_LT(m.ResultSumOfSquares, m.InitialSumOfSquares);
        for (int i = 1; i <= m.SpeciesCount; ++i) {
            EXPECT_TRUE(std::isfinite(m.SpeciesValue[i]));
            if (m.SpeciesFree[i]) {
                EXPECT_GT(m.SpeciesInterval[i], 0.0f);
            }
        }
        if (name == std::string("agcl.txt")) {
            // The data were made at the database values plus these offsets (kJ/mol).
            const double offsets[] = {0, 1.5, -2.0, 3.0};
            for (int i = 1; i <= 3; ++i) {
                const double truth = m.SpeciesInitial[i] + offsets[i];
                EXPECT_LE(std::fabs(m.SpeciesValue[i] - truth), 3 * m.SpeciesInterval[i]) << i;
            }
            EXPECT_EQ(m.Samples[1].Extras, 1) << "chlorargyrite is present";
        }
        EXPECT_NE(folder.Read(name), Example(name));
        ReleaseEngine();
        EXPECT_EQ(ReadDataFile(), 0) << Model().StatusText;
    }
}

int RunCli(const std::string& arguments, std::string& output) {
    return RunCommand(std::string(VARSEL_CLI_PATH) + " " + arguments, output);
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

TEST_F(EndToEndTest, CommandLineReportAgreesWithTheDataFileAndReRunKeepsIt) {
    folder.Write("agcl.txt", Example("agcl.txt"));
    const std::string file = (folder.Path() / "agcl.txt").string();
    const std::string json = (folder.Path() / "agcl.json").string();
    std::string output;
    ASSERT_EQ(RunCli("--report " + json + " " + file, output), 0) << output;
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
    const QJsonArray samples = report["samples"].toArray();
    ASSERT_GE(samples.size(), 20);
    for (const QJsonValue& p : samples) {
        const auto r = row(0, p["name"].toString().toStdString());
        ASSERT_GT(r.size(), static_cast<std::size_t>(yCalc));
        ExpectSame(r[yCalc], p["yCalc"]);
    }
    EXPECT_EQ(report["correlation"].toArray().size(), 3);

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

    EXPECT_EQ(RunCli((folder.Path() / "absent.txt").string(), output), 1);
    EXPECT_NE(output.find("Source data: could not open the file  "), std::string::npos) << output;
    EXPECT_EQ(RunCli("", output), 2);
    EXPECT_EQ(RunCli("one.txt two.txt", output), 2);
}

}  // namespace
}  // namespace varsel::test
