#include "model/DataSource.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "files/MessageText.h"
#include "model/Checked.h"
#include "model/ProblemModel.h"
#include "model/ReaderStatus.h"
#include "model/RuntimeFailure.h"
#include "model/TextCells.h"
#include "services/Spreadsheet.h"
#include "varsel/Window.h"

namespace varsel {

namespace {

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
std::shared_ptr<ISpreadsheetApp> AttachQuietly(ISpreadsheetConnector* connector) {
    if (connector == nullptr) return nullptr;
    try {
        return connector->Attach();
    } catch (const RuntimeFailure&) {
        return nullptr;
    }
}

// A path made absolute and normal, with symbolic links resolved as far as the path exists, so
// that two spellings of one file compare equal.
std::string Normalised(const std::string& path) {
    std::error_code error;
    std::filesystem::path normal = std::filesystem::weakly_canonical(path, error);
    if (error) normal = std::filesystem::absolute(path, error).lexically_normal();
    return normal.string();
}

// The open workbook that is the file at `fullPath`; else the one open workbook whose name is
// `path` (letter case aside), wherever it lies. Null when there is none; two or more of that
// name are refused, since taking either could write the results into the wrong file.
std::shared_ptr<IWorkbook> FindOpenWorkbook(ISpreadsheetApp& app, const std::string& path,
                                            const std::string& fullPath) {
    const std::string wantedFile = Normalised(fullPath);
    const std::string wantedName = Lower(path);
    std::vector<std::shared_ptr<IWorkbook>> named;
    std::vector<std::string> folders;
    const int count = app.WorkbookCount();
    for (int i = 1; i <= count; ++i) {
        std::shared_ptr<IWorkbook> candidate = app.Workbook(i);
        if (!candidate) continue;
        const std::string file = candidate->FullPath();
        if (!file.empty() && Normalised(file) == wantedFile) return candidate;
        if (Lower(candidate->Name()) != wantedName) continue;
        named.push_back(candidate);
        folders.push_back(file.empty()
                              ? "unsaved"
                              : std::filesystem::path(Normalised(file)).parent_path().string());
    }
    if (named.size() < 2) return named.empty() ? nullptr : named.front();
    std::sort(folders.begin(), folders.end());
    static const char* const kCounts[] = {"Two", "Three", "Four", "Five", "Six", "Seven", "Eight"};
    std::string text = named.size() - 2 < std::size(kCounts) ? kCounts[named.size() - 2]
                                                             : std::to_string(named.size());
    text += " open workbooks are called " + named.front()->Name() + " (";
    for (std::size_t i = 0; i < folders.size(); ++i)
        text += (i > 0 ? ", " : "") + folders[i];
    text += "): close one, or choose the file by its full path  ";
    throw RuntimeFailure(kSpreadsheetFailure, text);
}

}  // namespace

// The empty path adopts the name of the spreadsheet's active workbook and stops.
void DataSource::AdoptActiveWorkbook() {
    ProblemModel& m = m_;
    m.StatusCode = kStatusQuietStop;
    try {
        std::shared_ptr<ISpreadsheetApp> app = AttachQuietly(context_.Spreadsheet);
        if (!app || app->WorkbookCount() < 1) return;
        std::shared_ptr<IWorkbook> active = app->ActiveWorkbook();
        if (!active) return;
        // The full path, so that the next start finds this very workbook even when another
        // of the same name is open.
        const std::string fullPath = active->FullPath();
        context_.Window->SetPathText(fullPath.empty() ? active->Name() : fullPath);
    } catch (const RuntimeFailure&) {
        // Errors are ignored on this path: the run simply stops.
    }
}

// Takes the open workbook of the data file (see FindOpenWorkbook), or opens the file, and its
// active or first worksheet. The file is the resolved DataFile. Leaves StatusCode 2 when the
// workbook has no worksheet.
void DataSource::FindOrOpenWorkbook(ISpreadsheetApp& app, const std::string& path) {
    ProblemModel& m = m_;
    const std::string& fullPath = m.DataFile;
    std::shared_ptr<IWorkbook> found = FindOpenWorkbook(app, path, fullPath);
    if (!found) {
        m.DataWorkbook = app.OpenWorkbook(fullPath);
        if (!m.DataWorkbook) {
            throw RuntimeFailure(kSpreadsheetFailure,
                                 "Could not open the workbook " + Printable(fullPath));
        }
        // A workbook locked by someone else opens read-only: the run can still fill its
        // cells, but the user has to know that the file itself cannot take them.
        if (m.DataWorkbook->ReadOnly()) {
            context_.Window->ShowMessage(
                "The workbook " + Printable(fullPath) +
                    " is open read-only (it is locked by another user or write-protected). "
                    "The results go into its cells; save it under another name to keep them.",
                MessageButtons::Ok, MessageIcon::Exclamation);
        }
    } else {
        m.DataWorkbook = found;
        std::shared_ptr<IWorkbook> active = app.ActiveWorkbook();
        if (!active || active->FullPath() != found->FullPath() ||
            Lower(active->Name()) != Lower(found->Name())) {
            found->Activate();
        }
    }
    std::shared_ptr<IWorksheet> sheet = m.DataWorkbook->ActiveWorksheet();
    if (!sheet) sheet = m.DataWorkbook->FirstWorksheet();
    if (!sheet) {
        m.StatusCode = kCannotOpen;
        openFailure_ = PathAndReason(m.DataWorkbook->Name(), "the workbook has no worksheet");
        return;
    }
    m.DataSheet = sheet;
}

void DataSource::ShowNotice() {
    if (context_.Spreadsheet == nullptr) return;
    const std::string notice = context_.Spreadsheet->TakeNotice();
    if (!notice.empty()) {
        context_.Window->ShowMessage(notice, MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

void DataSource::OpenWorkbookSource(const std::string& path) {
    ProblemModel& m = m_;
    std::shared_ptr<ISpreadsheetApp> app = AttachQuietly(context_.Spreadsheet);
    if (!app) {
        ISpreadsheetConnector* connector = context_.Spreadsheet;
        try {
            if (connector != nullptr) app = connector->Start();
        } catch (const RuntimeFailure&) {
            app = nullptr;
        }
        if (!app) {
            ShowNotice();
            context_.Window->ShowMessage("Could not run Excel", MessageButtons::Ok,
                                         MessageIcon::Critical);
            m.StatusCode = kStatusQuietStop;
            return;
        }
        try {
            app->SetVisible(true);
        } catch (const RuntimeFailure&) {
            // Showing the new application is a courtesy; the run does not depend on it.
        }
        context_.Window->TakeFocus();
        context_.Window->ProcessEvents();
    }
    ShowNotice();
    m.ExcelApp = app;
    m.ExcelAppTyped = app;

    // From here on a failure of the application has a reason worth telling (a file that does
    // not exist, a document the application would not open): it is shown, and the run stops.
    try {
        FindOrOpenWorkbook(*app, path);
    } catch (const RuntimeFailure& failure) {
        m.DataWorkbook = nullptr;
        m.DataSheet = nullptr;
        context_.Window->ShowMessage(Printable(failure.what()), MessageButtons::Ok,
                                     MessageIcon::Critical);
        m.StatusCode = kStatusQuietStop;
    }
}

void DataSource::CannotOpen(const std::string& path, int error) {
    m_.StatusCode = kCannotOpen;
    m_.OpenErrno = error;
    openFailure_ = PathAndReason(path, SystemReason(error));
}

char FolderSeparator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

bool IsWorkbookPath(const std::string& path) {
    const std::string lower = Lower(path);
    for (const char* extension : {".xls", ".xlsx", ".ods"}) {
        const std::string ending = extension;
        if (lower.size() >= ending.size() &&
            lower.compare(lower.size() - ending.size(), ending.size(), ending) == 0) {
            return true;
        }
    }
    return false;
}

void DataSource::Open() {
    ProblemModel& m = m_;
    row_ = 0;
    column_ = 0;
    lineBuffer_.clear();
    cell_.clear();
    openFailure_.clear();
    m.OpenErrno = 0;
    if (file_.is_open()) file_.close();

    const std::string path = context_.Window->PathText();
    if (TrimBlanks(path).empty()) {
        AdoptActiveWorkbook();
        return;
    }
    m.DataPath = path;
    if (m.WorkFolder.empty()) m.WorkFolder = CurrentFolder();
    m.DataFile = ResolveDataPath(m.WorkFolder, path);
    // A path that does not lean on the working folder moves it to the file's folder, which
    // the chooser then opens and the settings file keeps.
    if (m.DataFile != m.WorkFolder + path) {
        const std::string folder = std::filesystem::path(m.DataFile).parent_path().string();
        if (!folder.empty())
            m.WorkFolder = folder.back() == FolderSeparator() ? folder : folder + FolderSeparator();
    }
    m.IsWorkbook = IsWorkbookPath(path);
    if (m.IsWorkbook) {
        OpenWorkbookSource(path);
        if (m.StatusCode != 0) return;
    } else {
        const std::string& fullPath = m.DataFile;
        // A folder opens for reading here and then reads as an empty file; it is refused as
        // what it is, whatever its name ends with.
        std::error_code error;
        if (std::filesystem::is_directory(fullPath, error)) {
            CannotOpen(fullPath, EISDIR);
            return;
        }
        if (LastFour(path) != ".txt") {
            context_.Window->ShowMessage("Incorrect file type  ", MessageButtons::Ok,
                                         MessageIcon::None);
            m.StatusCode = kStatusQuietStop;
            return;
        }
        file_.clear();
        errno = 0;
        file_.open(fullPath, std::ios::in | std::ios::binary);
        if (!file_.is_open()) {
            CannotOpen(fullPath, errno != 0 ? errno : EIO);
            return;
        }
    }
    m.StatusCode = 0;
}

std::string ResolveDataPath(const std::string& folder, const std::string& path) {
    if (path == "~" || path.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        if (home != nullptr && *home != '\0') return std::string(home) + path.substr(1);
    }
    if (std::filesystem::path(path).is_absolute()) return path;
    return folder + path;
}

void DataSource::NextRowCell() {
    if (row_ == std::numeric_limits<std::int16_t>::max()) {
        throw RowCountOverflow(kOverflow,
                               "the row count overflows: a data file holds at most 32767 rows");
    }
    ++row_;
    column_ = 0;
    if (!m_.IsWorkbook) {
        std::string line;
        if (file_.is_open()) lineStart_ = file_.tellg();
        if (!file_.is_open() || !std::getline(file_, line)) {
            throw RuntimeFailure(kInputPastEnd, "Input past end of file");
        }
        // Lines end with CR LF or with LF alone; a stray carriage return before the line end
        // (CR CR LF, from a file converted twice) is noise of the line end as well.
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        lineBuffer_ = std::move(line);
    }
    NextCell();
}

bool DataSource::EndOfText() {
    if (m_.IsWorkbook) return false;
    return !file_.is_open() || file_.peek() == std::ifstream::traits_type::eof();
}

void DataSource::NextCell() {
    CheckedAdd(column_, 1);
    if (m_.IsWorkbook) {
        if (!m_.DataSheet) throw RuntimeFailure(kSpreadsheetFailure, "No data sheet");
        cell_ = m_.DataSheet->CellText(row_, column_);
    } else {
        cell_ = TakeTextCell(lineBuffer_);
    }
}

std::string DataSource::TextFromCurrentRow() {
    if (m_.IsWorkbook || !file_.is_open()) return std::string();
    file_.clear();
    file_.seekg(lineStart_);
    return std::string(std::istreambuf_iterator<char>(file_), std::istreambuf_iterator<char>());
}

void DataSource::Close() {
    if (file_.is_open()) file_.close();
}

void DataSheetCells::SetNumber(std::int16_t row, std::int16_t column, double value) {
    if (!m_.DataSheet) throw RuntimeFailure(kSpreadsheetFailure, "No data sheet");
    m_.DataSheet->SetCellNumber(row, column, value);
}

void DataSheetCells::Clear(std::int16_t row, std::int16_t column) {
    if (!m_.DataSheet) throw RuntimeFailure(kSpreadsheetFailure, "No data sheet");
    m_.DataSheet->ClearCell(row, column);
}

void WriteCell(RunContext& context, std::int16_t row, std::int16_t column, float value) {
    WriteCellNumber(context, row, column, static_cast<double>(value));
}

void WriteCellNumber(RunContext& context, std::int16_t row, std::int16_t column, double value) {
    if (context.Cells != nullptr) context.Cells->SetNumber(row, column, value);
}

void ClearCell(RunContext& context, std::int16_t row, std::int16_t column) {
    if (context.Cells != nullptr) context.Cells->Clear(row, column);
}

}  // namespace varsel
