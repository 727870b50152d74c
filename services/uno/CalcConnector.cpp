#include "services/uno/CalcConnector.h"

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

#include "files/PrivateFolder.h"
#include "services/uno/CalcApp.h"
#include "services/uno/CalcSession.h"
#include "services/uno/OfficeGuardian.h"
#include "services/uno/OfficeProcesses.h"
#include "services/uno/UnoBridge.h"

namespace varsel {

namespace {

using calc::CalcSession;
using css::uno::Reference;
using css::uno::XComponentContext;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

class CalcConnector : public ISpreadsheetConnector {
  public:
    explicit CalcConnector(CalcOptions options) : options_(std::move(options)) {}

    std::shared_ptr<ISpreadsheetApp> Attach() override {
        Reference<XComponentContext> office = calc::ConnectToPipe(options_.PipeName);
        // An office of the user that runs without listening on the pipe is asked to listen:
        // the launcher hands the request over to it and ends. No office is started here, and
        // none is asked while someone else holds the pipe's place.
        if (!office.is() && calc::ForeignPipe(options_.PipeName).empty() &&
            !calc::RunningOffices(options_.UserInstallation).empty()) {
            calc::LaunchDetached(options_.Launcher, LauncherArguments(false));
            office = WaitForOffice(options_.ForwardTimeoutMs);
        }
        if (!office.is()) return nullptr;
        return MakeApp(office);
    }

    std::string TakeNotice() override { return std::exchange(notice_, std::string()); }

    std::shared_ptr<ISpreadsheetApp> Start() override {
        // Someone else's socket in the pipe's place would hear and answer every call, and
        // keeps the office from taking the pipe up: nothing is started, and the user is told.
        if (const std::string foreign = calc::ForeignPipe(options_.PipeName); !foreign.empty()) {
            notice_ = "Varsel does not connect to Calc through " + foreign +
                      ". Have it removed, or choose another pipe with VARSEL_CALC_PIPE.  ";
            return nullptr;
        }
        Reference<XComponentContext> office = calc::ConnectToPipe(options_.PipeName);
        if (office.is()) return MakeApp(office);
        const bool headless =
            std::find(options_.StartArguments.begin(), options_.StartArguments.end(),
                      "--headless") != options_.StartArguments.end();
        const bool running = !calc::RunningOffices(options_.UserInstallation).empty();
        // A new office the user cannot see would hold the results where nobody finds them.
        if (!headless && !running && !calc::HasDisplay()) return nullptr;
        const pid_t launched = calc::LaunchDetached(options_.Launcher, LauncherArguments(true));
        if (launched < 0) return nullptr;
        office = WaitForOffice(options_.StartTimeoutMs);
        if (!office.is()) {
            // An office that never answered (no display, a broken profile) is not left behind.
            calc::EndProcessGroup(launched, 2000);
            return nullptr;
        }
        return MakeApp(office);
    }

  private:
    std::vector<std::string> LauncherArguments(bool withStartArguments) const {
        std::vector<std::string> arguments;
        if (!options_.UserInstallation.empty()) {
            arguments.push_back("-env:UserInstallation=" + options_.UserInstallation);
        }
        arguments.push_back("--accept=pipe,name=" + options_.PipeName + ";urp;");
        if (withStartArguments) {
            arguments.insert(arguments.end(), options_.StartArguments.begin(),
                             options_.StartArguments.end());
        }
        return arguments;
    }

    Reference<XComponentContext> WaitForOffice(int timeoutMs) const {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            Reference<XComponentContext> office = calc::ConnectToPipe(options_.PipeName);
            if (office.is() || std::chrono::steady_clock::now() >= deadline) return office;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    std::shared_ptr<ISpreadsheetApp> MakeApp(const Reference<XComponentContext>& office) {
        // The lock works without the record; the user hears once why it is not kept.
        if (!options_.LockRecordProblem.empty() && !toldRecordProblem_) {
            toldRecordProblem_ = true;
            notice_ = "Locked workbook windows are not recorded: " + options_.LockRecordProblem +
                      ". Should a fit be killed, its workbook may stay locked until Calc is "
                      "restarted.  ";
        }
        auto session = std::make_shared<CalcSession>(office, options_);
        session->RestoreOrphanedLocks();
        return std::make_shared<calc::CalcApp>(std::move(session));
    }

    CalcOptions options_;
    bool toldRecordProblem_ = false;
    std::string notice_;
};

}  // namespace

CalcOptions DefaultCalcOptions() {
    CalcOptions options;
    options.PipeName = Environment("VARSEL_CALC_PIPE");
    if (options.PipeName.empty()) {
        options.PipeName = "varsel_calc_";
        options.PipeName += std::to_string(getuid());
    }
    options.UserInstallation = Environment("VARSEL_CALC_PROFILE");
    options.Launcher = Environment("VARSEL_SOFFICE");
    if (options.Launcher.empty()) options.Launcher = VARSEL_OFFICE_PROGRAM_DIR "/soffice";
    // In a folder nobody else can enter, so that no link planted by another user can turn
    // the record's writes onto a file of their choosing.
    const PrivateFolder records = VarselPrivateFolder();
    if (!records.Path.empty()) {
        std::string name = options.PipeName + ".locks";
        std::replace(name.begin(), name.end(), '/', '_');
        options.LockRecordPath = (records.Path / name).string();
    }
    options.LockRecordProblem = records.Problem;
    options.GuardianProgram = calc::GuardianProgram();
    return options;
}

std::unique_ptr<ISpreadsheetConnector> MakeCalcConnector(CalcOptions options) {
    return std::make_unique<CalcConnector>(std::move(options));
}

std::unique_ptr<ISpreadsheetConnector> MakeCalcConnector() {
    return MakeCalcConnector(DefaultCalcOptions());
}

}  // namespace varsel
