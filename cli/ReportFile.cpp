#include "ReportFile.h"

#include <QApplication>
#include <QString>
#include <cstdlib>

#include "shell/report/ReportFiles.h"
#include "varsel/FitSummary.h"

namespace varsel::cli {

bool WriteReportFile(const std::string& path, const FitSummary& summary, std::FILE* out) {
    if (!summary.Filled) {
        std::fprintf(out, "No report: the run did not reach its first pass\n");
        return false;
    }
    return WriteWithQt(
        path,
        [&](std::string& error) {
            QString why;
            const bool written = report::WriteReport(summary, QString::fromStdString(path), why);
            error = why.toStdString();
            return written;
        },
        out);
}

bool WriteWithQt(const std::string& path, const std::function<bool(std::string&)>& write,
                 std::FILE* out) {
    // Qt Charts draws through a Qt application; the offscreen platform needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "varsel-cli";
    char* argv[] = {name, nullptr};
    const bool own = QApplication::instance() == nullptr;
    QApplication* application = own ? new QApplication(argc, argv) : nullptr;
    std::string error;
    const bool written = write(error);
    delete application;
    if (written) {
        std::fprintf(out, "Report written to %s\n", path.c_str());
    } else {
        std::fprintf(out, "No report: %s\n", error.c_str());
    }
    return written;
}

}  // namespace varsel::cli
