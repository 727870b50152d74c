// Costs of the workbook operations of a run in LibreOffice Calc: reading a cell from the block
// already fetched, reading a sheet afresh (used area and first block), writing and clearing a
// cell, and a status text; then a whole run of a 2,400-row data file with the real engine, as
// a text file and as a workbook in the office. Runs against a headless office of its own,
// started on first use with a fresh profile and ended when the program ends.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "OfficeProbe.h"
#include "services/uno/CalcConnector.h"
#include "services/uno/OfficeProcesses.h"
#include "varsel/Numbers.h"
#include "varsel/Run.h"
#include "varsel/Window.h"

namespace {

using namespace varsel;
namespace fs = std::filesystem;

constexpr int kRows = 100;
constexpr int kColumns = 10;

class BenchOffice {
  public:
    BenchOffice() {
        const std::string id = std::to_string(getpid());
        folder_ = fs::temp_directory_path() / ("varsel-bench-calc-" + id);
        fs::create_directories(folder_);
        options_ = DefaultCalcOptions();
        options_.PipeName = "varsel_bench_" + id;
        options_.UserInstallation = "file://" + (folder_ / "profile").string();
        options_.LockRecordPath = (folder_ / "locks").string();
        options_.StartArguments = {"--headless", "--invisible", "--norestore", "--nologo"};
        connector_ = MakeCalcConnector(options_);
        app = connector_->Start();
        if (!app) throw std::runtime_error("the office did not start");

        test::SheetRows rows(kRows, std::vector<std::string>(kColumns));
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c)
                rows[r][c] = std::to_string(c == 0 ? r : r * 0.5 + c);
        }
        test::OfficeProbe(options_.PipeName).MakeWorkbook(folder_ / "bench.ods", {rows});
        book = app->OpenWorkbook((folder_ / "bench.ods").string());
        sheet = book->FirstWorksheet();
    }
    ~BenchOffice() {
        sheet.reset();
        book.reset();
        app.reset();
        for (const pid_t office : calc::RunningOffices(options_.UserInstallation)) {
            kill(office, SIGTERM);
            for (int i = 0; i < 100 && calc::ProcessAlive(office); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        const std::string uid = std::to_string(getuid());
        fs::remove("/tmp/OSL_PIPE_" + uid + "_" + options_.PipeName, ignored);
    }

    const fs::path& Folder() const { return folder_; }
    const std::string& Pipe() const { return options_.PipeName; }
    ISpreadsheetConnector& Connector() { return *connector_; }

    std::shared_ptr<ISpreadsheetApp> app;
    std::shared_ptr<IWorkbook> book;
    std::shared_ptr<IWorksheet> sheet;

  private:
    fs::path folder_;
    CalcOptions options_;
    std::unique_ptr<ISpreadsheetConnector> connector_;
};

BenchOffice& Office() {
    static BenchOffice office;
    return office;
}

void BM_ReadCellFromBlock(benchmark::State& state) {
    IWorksheet& sheet = *Office().sheet;
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sheet.CellText(1 + i % kRows, 1 + i % kColumns));
        ++i;
    }
}
BENCHMARK(BM_ReadCellFromBlock);

void BM_ReadSheetAfresh(benchmark::State& state) {
    IWorkbook& book = *Office().book;
    for (auto _ : state) {
        const auto sheet = book.FirstWorksheet();
        benchmark::DoNotOptimize(sheet->CellText(kRows, kColumns));
    }
}
BENCHMARK(BM_ReadSheetAfresh)->Unit(benchmark::kMillisecond);

void BM_WriteCell(benchmark::State& state) {
    IWorksheet& sheet = *Office().sheet;
    int i = 0;
    for (auto _ : state) {
        sheet.SetCellNumber(1 + i % kRows, 2 + i % (kColumns - 1), i * 0.25);
        ++i;
    }
}
BENCHMARK(BM_WriteCell)->Unit(benchmark::kMillisecond);

void BM_ClearCell(benchmark::State& state) {
    IWorksheet& sheet = *Office().sheet;
    int i = 0;
    for (auto _ : state) {
        sheet.ClearCell(1 + i % kRows, 2 + i % (kColumns - 1));
        ++i;
    }
}
BENCHMARK(BM_ClearCell)->Unit(benchmark::kMillisecond);

void BM_StatusText(benchmark::State& state) {
    ISpreadsheetApp& app = *Office().app;
    int i = 0;
    for (auto _ : state) {
        std::string text = "Iteration:";
        text += std::to_string(++i);
        app.SetStatusBar(text);
    }
    app.ResetStatusBar();
}
BENCHMARK(BM_StatusText)->Unit(benchmark::kMillisecond);

// The silver chloride example with its 24 samples a hundred times over: 2,400 sample rows.
std::string LongExample() {
    std::ifstream in(fs::path(VARSEL_EXAMPLES_DIR) / "agcl.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t table = text.find("\r\nS01") + 2;
    const std::string rows = text.substr(table, text.rfind("\r\n\r\n") + 2 - table);
    text.resize(table);
    for (int copy = 0; copy < 100; ++copy)
        text += rows;
    return text + "\r\n";
}

// A window no one watches that keeps the last message of the run.
class SilentWindow : public HeadlessWindow {
  public:
    void SetStatusCaption(const std::string&) override {}
    MessageAnswer ShowMessage(const std::string& text, MessageButtons, MessageIcon) override {
        last = text;
        return MessageAnswer::No;
    }
    std::string last;
};

// One whole run (read, fit, intervals; the text file saved, the workbook's cells written) of
// the 2,400-row file: range(0) 0 as a text file, 1 as a workbook open in the office.
void BM_Run2400Rows(benchmark::State& state) {
    const bool workbook = state.range(0) == 1;
    BenchOffice& office = Office();
    SetDecimalSeparator('.');
    const std::string text = LongExample();
    const std::string name = workbook ? "long.ods" : "long.txt";
    const fs::path file = office.Folder() / name;
    RunOptions options;
    options.WorkFolder = office.Folder().string() + "/";
    options.Saving = SavePolicy::Stop;
    options.Spreadsheet = &office.Connector();
    SilentWindow window;
    test::OfficeProbe probe(office.Pipe());
    for (auto _ : state) {
        state.PauseTiming();
        if (workbook) {
            probe.MakeWorkbook(file, {test::TypedRows(text)});
        } else {
            std::ofstream(file, std::ios::binary) << text;
        }
        window.SetPathText(name);
        state.ResumeTiming();
        const RunResult result = Run(window, options);
        if (result.StatusCode != 0) state.SkipWithError(window.last.c_str());
        state.PauseTiming();
        if (workbook) probe.CloseAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Run2400Rows)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
