// A spreadsheet application for tests: workbooks and sheets held in memory, cells as text,
// and a record of the status-bar, input and screen-updating settings a run makes.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "services/Spreadsheet.h"

namespace varsel::test {

struct FakeSheet : IWorksheet {
    std::map<std::pair<int, int>, std::string> cells;
    std::map<std::pair<int, int>, double> numbers;  ///< the numbers assigned, by cell
    std::vector<std::pair<int, int>> cleared;       ///< every cell cleared (formats too), in order
    int writeCalls = 0;                             ///< calls that write or clear

    std::string CellText(int row, int column) override {
        const auto it = cells.find({row, column});
        return it == cells.end() ? std::string() : it->second;
    }
    void SetCellNumber(int row, int column, double value) override {
        ++writeCalls;
        Set(row, column, value);
    }
    void ClearCell(int row, int column) override {
        ++writeCalls;
        Empty(row, column);
        cleared.emplace_back(row, column);
    }
    void SetCellBlock(int row, int column, int rows, int columns,
                      const std::vector<std::optional<double>>& values) override {
        ++writeCalls;
        for (int i = 0; i < rows * columns; ++i) {
            const std::optional<double>& value = values.at(static_cast<std::size_t>(i));
            if (value) Set(row + i / columns, column + i % columns, *value);
            if (!value) Empty(row + i / columns, column + i % columns);
        }
    }
    void ClearBlock(int row, int column, int rows, int columns) override {
        ++writeCalls;
        for (int i = 0; i < rows * columns; ++i) {
            Empty(row + i / columns, column + i % columns);
            cleared.emplace_back(row + i / columns, column + i % columns);
        }
    }

  private:
    void Set(int row, int column, double value) {
        cells[{row, column}] = std::to_string(value);
        numbers[{row, column}] = value;
    }
    void Empty(int row, int column) {
        cells.erase({row, column});
        numbers.erase({row, column});
    }
};

struct FakeBook : IWorkbook {
    std::string name;
    std::shared_ptr<FakeSheet> active, first;
    bool readOnly = false;
    std::string Name() override { return name; }
    void Activate() override {}
    std::shared_ptr<IWorksheet> ActiveWorksheet() override { return active; }
    std::shared_ptr<IWorksheet> FirstWorksheet() override { return first; }
    bool ReadOnly() override { return readOnly; }
};

struct FakeApp : ISpreadsheetApp {
    std::vector<std::shared_ptr<FakeBook>> books;
    std::shared_ptr<FakeBook> activeBook;
    std::vector<std::string> opened;
    bool openReturnsNull = false;
    bool openReadOnly = false;  ///< workbooks open read-only
    bool visible = false;
    bool displayStatusBar = true;
    std::vector<std::string> statusBar;  ///< texts shown; "" when given back
    std::vector<std::string> settings;   ///< the settings calls, in order

    void SetVisible(bool v) override { visible = v; }
    int WorkbookCount() override { return static_cast<int>(books.size()); }
    std::shared_ptr<IWorkbook> Workbook(int index) override { return books.at(index - 1); }
    std::shared_ptr<IWorkbook> ActiveWorkbook() override { return activeBook; }
    std::shared_ptr<IWorkbook> OpenWorkbook(const std::string& path) override {
        opened.push_back(path);
        if (openReturnsNull) return nullptr;
        auto book = std::make_shared<FakeBook>();
        book->readOnly = openReadOnly;
        book->name = std::filesystem::path(path).filename().string();
        book->first = std::make_shared<FakeSheet>();
        books.push_back(book);
        activeBook = book;
        return book;
    }
    bool DisplayStatusBar() override { return displayStatusBar; }
    void SetDisplayStatusBar(bool display) override {
        displayStatusBar = display;
        settings.push_back(display ? "DisplayStatusBar=True" : "DisplayStatusBar=False");
    }
    void SetStatusBar(const std::string& text) override {
        statusBar.push_back(text);
        settings.push_back("StatusBar=" + text);
    }
    void ResetStatusBar() override {
        statusBar.emplace_back();
        settings.push_back("StatusBar=False");
    }
    void SetInteractive(bool value) override {
        settings.push_back(value ? "Interactive=True" : "Interactive=False");
    }
    void SetScreenUpdating(bool value) override {
        settings.push_back(value ? "ScreenUpdating=True" : "ScreenUpdating=False");
    }
};

struct FakeConnector : ISpreadsheetConnector {
    std::shared_ptr<FakeApp> running;  ///< attached to when set
    bool canStart = true;
    int starts = 0;
    std::shared_ptr<ISpreadsheetApp> Attach() override { return running; }
    std::shared_ptr<ISpreadsheetApp> Start() override {
        ++starts;
        if (!canStart) return nullptr;
        running = std::make_shared<FakeApp>();
        return running;
    }
};

}  // namespace varsel::test
