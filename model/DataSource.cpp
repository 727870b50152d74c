#include "model/DataSource.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "model/Checked.h"
#include "model/ProblemModel.h"
#include "model/RuntimeFailure.h"
#include "model/TextCells.h"
#include "services/Platform.h"
#include "services/Spreadsheet.h"
#include "services/Window.h"

namespace varsel {

namespace {

struct SourceState {
    std::int16_t row = 0;
    std::int16_t column = 0;
    std::string lineBuffer;
    std::string cell;
    std::ifstream file;
};

SourceState& State() {
    static SourceState state;
    return state;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string LastFour(const std::string& path) {
    return Lower(path.size() >= 4 ? path.substr(path.size() - 4) : path);
}

std::string CurrentFolder() {
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    if (error) return std::string();
    if (folder.empty() || folder.back() != FolderSeparator()) folder.push_back(FolderSeparator());
    return folder;
}

// The spreadsheet application, or null. Attaching never raises: a failure means that none
// is running.
std::shared_ptr<ISpreadsheetApp> AttachQuietly() {
    ISpreadsheetConnector* connector = ThePlatform().Spreadsheet;
    if (connector == nullptr) return nullptr;
    try {
        return connector->Attach();
    } catch (const RuntimeFailure&) {
        return nullptr;
    }
}

// The empty path adopts the name of the spreadsheet's active workbook and stops.
void AdoptActiveWorkbook() {
    ProblemModel& m = Model();
    m.StatusCode = kStatusQuietStop;
    try {
        std::shared_ptr<ISpreadsheetApp> app = AttachQuietly();
        if (!app || app->WorkbookCount() < 1) return;
        std::shared_ptr<IWorkbook> active = app->ActiveWorkbook();
        if (!active) return;
        ThePlatform().Window->SetPathText(active->Name());
    } catch (const RuntimeFailure&) {
        // Errors are ignored on this path: the run simply stops.
    }
}

void OpenWorkbookSource(const std::string& path) {
    ProblemModel& m = Model();
    std::shared_ptr<ISpreadsheetApp> app = AttachQuietly();
    if (!app) {
        ISpreadsheetConnector* connector = ThePlatform().Spreadsheet;
        try {
            if (connector != nullptr) app = connector->Start();
        } catch (const RuntimeFailure&) {
            app = nullptr;
        }
        if (!app) {
            ThePlatform().Window->ShowMessage("Could not run Excel", MessageButtons::Ok,
                                              MessageIcon::Critical);
            m.StatusCode = kStatusQuietStop;
            return;
        }
        app->SetVisible(true);
        ThePlatform().Window->TakeFocus();
        ThePlatform().Window->ProcessEvents();
    }
    m.ExcelApp = app;
    m.ExcelAppTyped = app;

    const std::string wanted = Lower(path);
    std::shared_ptr<IWorkbook> found;
    const int count = app->WorkbookCount();
    for (int i = 1; i <= count && !found; ++i) {
        std::shared_ptr<IWorkbook> candidate = app->Workbook(i);
        if (candidate && Lower(candidate->Name()) == wanted) found = candidate;
    }
    if (!found) {
        const std::string folder = m.WorkFolder.empty() ? CurrentFolder() : m.WorkFolder;
        m.DataWorkbook = app->OpenWorkbook(folder + path);
    } else {
        m.DataWorkbook = found;
        std::shared_ptr<IWorkbook> active = app->ActiveWorkbook();
        if (!active || Lower(active->Name()) != Lower(found->Name())) found->Activate();
    }
    std::shared_ptr<IWorksheet> sheet = m.DataWorkbook->ActiveWorksheet();
    if (!sheet) sheet = m.DataWorkbook->FirstWorksheet();
    if (!sheet) {
        m.StatusCode = 2;
        return;
    }
    m.DataSheet = sheet;
}

}  // namespace

char FolderSeparator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

bool IsWorkbookPath(const std::string& path) {
    return LastFour(path) == ".xls";
}

void OpenDataSource() {
    ProblemModel& m = Model();
    SourceState& s = State();
    s.row = 0;
    s.column = 0;
    s.lineBuffer.clear();
    s.cell.clear();
    if (s.file.is_open()) s.file.close();

    const std::string path = ThePlatform().Window->PathText();
    if (TrimBlanks(path).empty()) {
        AdoptActiveWorkbook();
        return;
    }
    m.IsWorkbook = IsWorkbookPath(path);
    if (m.IsWorkbook) {
        OpenWorkbookSource(path);
        if (m.StatusCode != 0) return;
    } else {
        if (LastFour(path) != ".txt") {
            ThePlatform().Window->ShowMessage("Incorrect file type  ", MessageButtons::Ok,
                                              MessageIcon::None);
            m.StatusCode = kStatusQuietStop;
            return;
        }
        s.file.clear();
        s.file.open(m.WorkFolder + path, std::ios::in | std::ios::binary);
        if (!s.file.is_open()) {
            m.StatusCode = 2;
            return;
        }
    }
    if (m.WorkFolder.empty()) m.WorkFolder = CurrentFolder();
    m.StatusCode = 0;
}

void NextRowCell() {
    SourceState& s = State();
    CheckedAdd(s.row, 1);
    s.column = 0;
    if (!Model().IsWorkbook) {
        std::string line;
        if (!s.file.is_open() || !std::getline(s.file, line)) {
            throw RuntimeFailure(kInputPastEnd, "Input past end of file");
        }
        // Lines end with CR LF or with LF alone.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        s.lineBuffer = std::move(line);
    }
    NextCell();
}

void NextCell() {
    SourceState& s = State();
    CheckedAdd(s.column, 1);
    ProblemModel& m = Model();
    if (m.IsWorkbook) {
        if (!m.DataSheet) throw RuntimeFailure(kSpreadsheetFailure, "No data sheet");
        s.cell = m.DataSheet->CellText(s.row, s.column);
    } else {
        s.cell = TakeTextCell(s.lineBuffer);
    }
}

void WriteCell(std::int16_t row, std::int16_t column, float value) {
    WriteCellNumber(row, column, static_cast<double>(value));
}

void WriteCellNumber(std::int16_t row, std::int16_t column, double value) {
    ProblemModel& m = Model();
    if (!m.DataSheet) throw RuntimeFailure(kSpreadsheetFailure, "No data sheet");
    m.DataSheet->SetCellNumber(row, column, value);
}

void ClearCell(std::int16_t row, std::int16_t column) {
    ProblemModel& m = Model();
    if (!m.DataSheet) throw RuntimeFailure(kSpreadsheetFailure, "No data sheet");
    m.DataSheet->ClearCell(row, column);
}

void CloseDataSource() {
    SourceState& s = State();
    if (s.file.is_open()) s.file.close();
}

const std::string& CurrentCell() {
    return State().cell;
}
std::int16_t CurrentRow() {
    return State().row;
}
std::int16_t CurrentColumn() {
    return State().column;
}

void ResetDataSource() {
    SourceState& s = State();
    if (s.file.is_open()) s.file.close();
    s.file.clear();
    s.row = 0;
    s.column = 0;
    s.lineBuffer.clear();
    s.cell.clear();
}

}  // namespace varsel
