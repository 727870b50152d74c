// varsel: the desktop program, one window over the shared run.
#include <QApplication>
#include <clocale>

#include "shell/CommandLine.h"
#include "shell/qt/Form1.h"
#include "varsel/Run.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // QApplication hands the user's locale to the C library. Files and databases are read in
    // C conventions; the user's decimal separator reaches the core through the window's
    // start-up instead.
    std::setlocale(LC_NUMERIC, "C");

    // Workbook data files run in LibreOffice Calc when this build has its backend.
    const auto office = varsel::MakeOfficeConnector();
    varsel::qt::Form1 form;
    form.SetOffice(office.get());
    form.FormLoad(varsel::JoinArguments(argc, argv));
    return QApplication::exec();
}
