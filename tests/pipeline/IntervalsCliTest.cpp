// varsel-cli's intervals on the silver chloride example: the options, the printed table and
// the keys its JSON report fixes for scripts, with a seed that the report repeats.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <string>

#include "PipelineFixture.h"

namespace varsel::test {
namespace {

TEST(IntervalsCliTest, ProfileAndBootstrapReachTheTableAndTheReport) {
    TempFolder folder;
    const std::string original = FileBytes(std::filesystem::path(VARSEL_EXAMPLES_DIR) / "agcl.txt");
    const std::string file = folder.Write("agcl.txt", original).string();
    const std::string json = (folder.Path() / "agcl.json").string();
    const std::string cli = std::string(VARSEL_CLI_PATH) + " --no-save ";
    std::string output;
    EXPECT_EQ(RunCommand(cli + "--bootstrap=0 " + file, output), 2) << output;
    EXPECT_EQ(RunCommand(cli + "--seed -1 --profile " + file, output), 2) << output;

    ASSERT_EQ(RunCommand(cli + "--profile --bootstrap 30 --seed 5 --threads 2 --report " + json +
                             " " + file,
                         output),
              0)
        << output;
    EXPECT_NE(output.find("\n  AgCl2-         -217.705      \xC2\xB1 0.279  [-217.980, -217.417]"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("seed 5, which reproduces them"), std::string::npos) << output;
    EXPECT_EQ(folder.Read("agcl.txt"), original);

    const QJsonObject report =
        QJsonDocument::fromJson(QByteArray::fromStdString(FileBytes(json))).object();
    EXPECT_EQ(report["bootstrap"].toObject(),
              (QJsonObject{{"replicates", 30}, {"failed", 0}, {"seed", 5}}));
    const QJsonArray species = report["species"].toArray();
    ASSERT_EQ(species.size(), 3);
    for (const QJsonValue& s : species) {
        const double value = s["value"].toDouble();
        for (const char* threshold : {"joint", "individual"}) {
            const QJsonArray ends = s["profile"][threshold].toArray();
            ASSERT_EQ(ends.size(), 2) << threshold;
            EXPECT_LT(ends[0].toDouble(), value);
            EXPECT_GT(ends[1].toDouble(), value);
        }
        EXPECT_LT(s["bootstrap"]["lo"].toDouble(), value);
        EXPECT_GT(s["bootstrap"]["hi"].toDouble(), value);
    }
}

}  // namespace
}  // namespace varsel::test
