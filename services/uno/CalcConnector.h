// The spreadsheet application of workbook data files on Linux: LibreOffice Calc, driven
// through UNO over a named pipe of the user.
//
// Attaching connects to that pipe. When nothing listens there but an office of the user runs,
// the office is asked to listen (the office launcher hands the request to the running
// instance); only Start() may bring up a new office. This header includes no UNO header, so
// the shells can use it without the SDK's include paths.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "services/Spreadsheet.h"

namespace varsel {

/// Where and how the office is reached.
struct CalcOptions {
    /// Name of the pipe on which the office accepts UNO connections.
    std::string PipeName;
    /// The office's user profile as a file URL; empty for the user's own profile.
    std::string UserInstallation;
    /// Full path of the office launcher ("soffice").
    std::string Launcher;
    /// Further command-line arguments for an office brought up by Start() (for example
    /// "--headless" in tests).
    std::vector<std::string> StartArguments;
    /// How long Start() waits for a new office to accept the connection, in milliseconds.
    int StartTimeoutMs = 60000;
    /// How long Attach() waits for a running office to take up the pipe, in milliseconds.
    int ForwardTimeoutMs = 15000;
    /// File that lists the document windows this program has disabled, so that an attach after
    /// a crash of the program enables them again; empty for none.
    std::string LockRecordPath;
    /// Why no lock record is kept (its folder was refused); told the user at the first attach.
    std::string LockRecordProblem;
    /// The guardian program that gives the office back when this program dies during a run
    /// that locked it; empty for none.
    std::string GuardianProgram;
};

/// The user's own office: the pipe "varsel_calc_<uid>", the user's profile and the launcher of
/// the office the program was built against, with the lock record in the user's private folder
/// (VarselPrivateFolder) when that is not refused. The environment variables VARSEL_CALC_PIPE,
/// VARSEL_CALC_PROFILE (a file URL) and VARSEL_SOFFICE (the full path of another office's
/// launcher) override the pipe, the profile and the launcher; VARSEL_OFFICE_GUARDIAN names
/// another guardian program (empty: none).
CalcOptions DefaultCalcOptions();

/// A connector to LibreOffice Calc. Failing office calls raise RuntimeFailure
/// (kSpreadsheetFailure) with a text that names the operation and the office's reason.
std::unique_ptr<ISpreadsheetConnector> MakeCalcConnector(CalcOptions options);
std::unique_ptr<ISpreadsheetConnector> MakeCalcConnector();

}  // namespace varsel
