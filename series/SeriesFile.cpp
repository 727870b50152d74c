// Reading the series file (include/varsel/Series.h describes its rows).
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "series/SeriesText.h"
#include "varsel/Series.h"

namespace fs = std::filesystem;

namespace varsel {

namespace {

constexpr const char* kFiles = "Files:";

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class SeriesReader {
  public:
    explicit SeriesReader(const std::string& path) : path_(path) {
        name_ = fs::path(path).filename().string();
        folder_ = fs::path(path).parent_path();
    }

    SeriesFile Read() {
        std::vector<series::TextRow> rows;
        std::string why;
        if (!series::ReadTextRows(path_, rows, why)) {
            throw SeriesError("could not read the series file " + path_ + ": " + why);
        }
        SeriesFile s;
        s.Path = path_;
        if (rows.empty()) Fail(1, "the file is empty");
        s.Title = rows[0][0];
        bool database = false, method = false, output = false;
        std::size_t r = 1;
        for (; r < rows.size(); ++r) {
            const series::TextRow& row = rows[r];
            const int number = static_cast<int>(r) + 1;
            if (series::IsEmptyRow(row)) continue;
            const std::string& key = row[0];
            if (key == kFiles) break;
            if (key == "Database:") {
                Once(database, number, key);
                s.Database = Value(row, number);
            } else if (key == "Method:") {
                Once(method, number, key);
                const std::string value = Lower(Value(row, number));
                if (value == "one-step") {
                    s.Method = SeriesMethod::OneStep;
                } else if (value == "two-step") {
                    s.Method = SeriesMethod::TwoStep;
                } else {
                    Fail(number, "the method is one-step or two-step, not \"" + row[1] + "\"");
                }
            } else if (key == "Fit:") {
                s.Fits.push_back(FitRow(row, number));
            } else if (key == "Output:") {
                Once(output, number, key);
                s.Output = OutputPath(Value(row, number), number);
            } else {
                Fail(number, "unknown row \"" + key +
                                 "\"; before Files: come the rows Database:, Method:, Fit: "
                                 "and Output:");
            }
        }
        if (r >= rows.size()) Fail(static_cast<int>(rows.size()), "no Files: row");
        if (!database) Fail(static_cast<int>(r) + 1, "no Database: row before Files:");
        if (!output) Fail(static_cast<int>(r) + 1, "no Output: row before Files:");
        if (s.Fits.empty()) Fail(static_cast<int>(r) + 1, "no Fit: row before Files:");
        for (++r; r < rows.size() && !series::IsEmptyRow(rows[r]); ++r) {
            const std::string file = Resolved(rows[r][0]);
            const int number = static_cast<int>(r) + 1;
            if (rows[r][0].empty()) Fail(number, "a file name belongs in the first cell");
            if (std::find(s.Files.begin(), s.Files.end(), file) != s.Files.end()) {
                Fail(number, rows[r][0] + " is listed twice");
            }
            s.Files.push_back(file);
            s.FileRows.push_back(number);
        }
        if (s.Files.empty()) Fail(static_cast<int>(r), "no data file after Files:");
        return s;
    }

  private:
    [[noreturn]] void Fail(int row, const std::string& what) const {
        throw SeriesError(name_ + ", row " + std::to_string(row) + ": " + what);
    }

    void Once(bool& seen, int row, const std::string& key) const {
        if (seen) Fail(row, key + " is given twice");
        seen = true;
    }

    std::string Value(const series::TextRow& row, int number) const {
        if (row.size() < 2 || row[1].empty()) Fail(number, row[0] + " needs a value");
        return row[1];
    }

    SeriesFitRow FitRow(const series::TextRow& row, int number) const {
        SeriesFitRow fit;
        fit.Species = Value(row, number);
        fit.Row = number;
        for (std::size_t c = 2; c < row.size(); ++c) {
            if (row[c].empty()) continue;
            if (std::find(fit.Parameters.begin(), fit.Parameters.end(), row[c]) !=
                fit.Parameters.end()) {
                Fail(number, row[c] + " is named twice for " + fit.Species);
            }
            fit.Parameters.push_back(row[c]);
        }
        if (fit.Parameters.empty()) Fail(number, "no parameter to fit for " + fit.Species);
        return fit;
    }

    // The output is a database in the text format: ".vdb", added when the name has no ending.
    std::string OutputPath(const std::string& name, int number) const {
        fs::path path = Resolved(name);
        if (!path.has_extension()) path += ".vdb";
        if (path.extension() != ".vdb") {
            Fail(number,
                 "the Output: database is written in the text format; give it the "
                 "ending .vdb");
        }
        return path.string();
    }

    std::string Resolved(const std::string& name) const {
        const fs::path path(name);
        return (path.is_absolute() ? path : folder_ / path).lexically_normal().string();
    }

    std::string path_, name_;
    fs::path folder_;
};

}  // namespace

const char* SeriesMethodName(SeriesMethod method) {
    return method == SeriesMethod::OneStep ? "one-step" : "two-step";
}

bool IsSeriesFile(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
    // A series file is small; a data file never has a "Files:" row.
    if (fs::file_size(path, error) > (1u << 20) || error) return false;
    std::vector<series::TextRow> rows;
    std::string why;
    if (!series::ReadTextRows(path, rows, why)) return false;
    return std::any_of(rows.begin(), rows.end(),
                       [](const series::TextRow& row) { return row[0] == kFiles; });
}

SeriesFile ReadSeriesFile(const std::string& path) {
    return SeriesReader(path).Read();
}

}  // namespace varsel
