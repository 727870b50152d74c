// The base of the workbook tests: a connector to the test office, a probe of its own, a fresh
// folder for the workbook files, and a recording window; afterwards every handle is dropped
// and every document closed, so each test starts with an empty office.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "OfficeProbe.h"
#include "model/DataSheetCells.h"
#include "model/DataSource.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "services/RunContext.h"
#include "support/RecordingWindow.h"
#include "support/TempFolder.h"

namespace varsel::test {

class OfficeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        connector = MakeCalcConnector(OfficeOptions());
        context.Window = &window;
        context.Spreadsheet = connector.get();
        context.Cells = &cells;
        m.WorkFolder = folder.AsWorkFolder();
    }
    void TearDown() override {
        source.reset();
        m = ProblemModel();
        SetDecimalSeparator('.');
        probe.CloseAll();
    }

    /// Writes a one-sheet workbook into the test folder and returns its full path.
    std::filesystem::path Workbook(const std::string& name, const SheetRows& rows) {
        const auto file = folder.Path() / name;
        probe.MakeWorkbook(file, {rows});
        return file;
    }

    /// Runs the data source on `path` and returns the status code.
    int OpenSource(const std::string& path) {
        window.Path = path;
        m.StatusCode = 0;
        source = std::make_unique<DataSource>(m, context);
        source->Open();
        return m.StatusCode;
    }

    OfficeProbe probe;
    TempFolder folder;
    RecordingWindow window;
    std::unique_ptr<ISpreadsheetConnector> connector;
    ProblemModel m;
    DataSheetCells cells{m};
    RunContext context;
    std::unique_ptr<DataSource> source;
};

}  // namespace varsel::test
