// varsel: the desktop program, one window over the shared run sequence.
#include <QApplication>
#include <clocale>

#include "engine/EngineFactory.h"
#include "services/Platform.h"
#include "shell/CommandLine.h"
#include "shell/RunSequence.h"
#include "shell/qt/Form1.h"

#ifdef VARSEL_HAVE_UNO
#include "services/uno/CalcConnector.h"
#endif

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // QApplication hands the user's locale to the C library. Files and databases are read in
    // C conventions; the user's decimal separator reaches the core through the window's
    // start-up instead.
    std::setlocale(LC_NUMERIC, "C");

    varsel::engine::EngineFactory engine;
    varsel::ThePlatform().Engine = &engine;
#ifdef VARSEL_HAVE_UNO
    const auto spreadsheet = varsel::MakeCalcConnector();
    varsel::ThePlatform().Spreadsheet = spreadsheet.get();
#endif
    varsel::qt::Form1 form(varsel::RunSequence);
    varsel::ThePlatform().Window = &form;
    form.FormLoad(varsel::JoinArguments(argc, argv));
    const int exitCode = QApplication::exec();
    varsel::ThePlatform() = {};
    return exitCode;
}
