// Costs of the workbook operations of a run in LibreOffice Calc: reading a cell from the block
// already fetched, reading a sheet afresh (used area and first block), writing and clearing a
// cell, and a status text. Runs against a headless office of its own, started on first use
// with a fresh profile and ended when the program ends.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "OfficeProbe.h"
#include "services/uno/CalcConnector.h"
#include "services/uno/OfficeProcesses.h"

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

}  // namespace
