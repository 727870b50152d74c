// calc_office: brings up and takes down the headless office that the workbook tests run
// against, and plays a program that dies while it holds the office locked.
//
//   calc_office start FOLDER PIPE   fresh profile in FOLDER/profile (document lock files off),
//                                   office listening on PIPE, its process id in FOLDER/pid;
//                                   returns once the office accepts connections
//   calc_office stop FOLDER PIPE    ends the office by its process id, removes FOLDER and the
//                                   socket files of PIPE (and of the pipes named after it)
//   calc_office crash PIPE RECORD NAME
//                                   attaches, shows a status text and locks the input of the
//                                   open workbook NAME, then ends without cleaning up
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "model/RuntimeFailure.h"
#include "services/uno/CalcConnector.h"
#include "services/uno/OfficeProcesses.h"
#include "services/uno/UnoBridge.h"

namespace fs = std::filesystem;
using namespace varsel;

namespace {

constexpr const char* kProfileSettings =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
    "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
    "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"UseLocking\" "
    "oor:op=\"fuse\"><value>false</value></prop></item>\n"
    "</oor:items>\n";

std::string ProfileUrl(const fs::path& folder) {
    return "file://" + (folder / "profile").string();
}

// The office leaves the socket files of the pipes it listened on; those of this test run go.
void RemovePipeFiles(const std::string& pipe) {
    std::string prefix = "OSL_PIPE_";
    prefix += std::to_string(getuid());
    prefix += '_';
    prefix += pipe;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/tmp", error)) {
        if (entry.path().filename().string().compare(0, prefix.size(), prefix) == 0) {
            fs::remove(entry.path(), error);
        }
    }
}

// True when `pid` is an office process (its launcher or the office itself), so that a process
// id left in a stale file never ends anything else.
bool IsOffice(pid_t pid) {
    std::ifstream in(fs::path("/proc") / std::to_string(pid) / "comm");
    std::string name;
    std::getline(in, name);
    return name == "oosplash" || name == "soffice.bin";
}

// Ends the offices of this folder: the one started here, by its process id, and any office
// still running on one of the folder's profiles (left by an interrupted run).
void EndOffices(const fs::path& folder) {
    pid_t office = -1;
    std::ifstream(folder / "pid") >> office;
    if (office > 0 && IsOffice(office)) calc::EndProcessGroup(office, 10000);
    // An office of this profile that left the group (none should) is ended by its own id.
    for (const std::string& profile :
         {ProfileUrl(folder), "file://" + (folder / "started-profile").string()}) {
        for (const pid_t left : calc::RunningOffices(profile)) {
            kill(left, SIGTERM);
            for (int i = 0; i < 100 && calc::ProcessAlive(left); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            kill(left, SIGKILL);
        }
    }
}

int Stop(const fs::path& folder, const std::string& pipe) {
    EndOffices(folder);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    RemovePipeFiles(pipe);
    return 0;
}

int Start(const fs::path& folder, const std::string& pipe) {
    EndOffices(folder);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder / "profile" / "user");
    std::ofstream(folder / "profile" / "user" / "registrymodifications.xcu") << kProfileSettings;

    const std::vector<std::string> arguments = {"-env:UserInstallation=" + ProfileUrl(folder),
                                                "--headless",
                                                "--invisible",
                                                "--norestore",
                                                "--nodefault",
                                                "--nologo",
                                                "--accept=pipe,name=" + pipe + ";urp;"};
    const auto started = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };
    // An office that ends before it listens (it can, on the first start of a profile) is
    // launched once more.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        const pid_t office = calc::LaunchDetached(VARSEL_OFFICE_PROGRAM_DIR "/soffice", arguments);
        if (office < 0) {
            std::fprintf(stderr, "calc_office: could not launch the office\n");
            return 1;
        }
        std::ofstream(folder / "pid") << office << '\n';
        while (elapsed() < 120) {
            if (calc::ConnectToPipe(pipe).is()) {
                std::printf("office %d listens on %s after %.2f s (launch %d)\n",
                            static_cast<int>(office), pipe.c_str(), elapsed(), attempt);
                return 0;
            }
            if (kill(-office, 0) != 0 && calc::RunningOffices(ProfileUrl(folder)).empty()) {
                std::fprintf(stderr,
                             "calc_office: the office ended without listening after %.2f s\n",
                             elapsed());
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (elapsed() >= 120) {
            calc::EndProcessGroup(office, 5000);
            break;
        }
    }
    std::fprintf(stderr, "calc_office: no office accepted connections on %s after %.2f s\n",
                 pipe.c_str(), elapsed());
    return 1;
}

int Crash(const std::string& pipe, const std::string& record, const std::string& name) {
    CalcOptions options = DefaultCalcOptions();
    options.PipeName = pipe;
    options.LockRecordPath = record;
    const auto connector = MakeCalcConnector(options);
    const auto app = connector->Attach();
    if (!app) return 1;
    for (int i = 1; i <= app->WorkbookCount(); ++i) {
        const auto book = app->Workbook(i);
        if (book->Name() != name) continue;
        const auto sheet = book->ActiveWorksheet();
        app->SetStatusBar("Optimizing...");
        app->SetInteractive(false);
        sheet->SetCellNumber(1, 1, 42);
        std::fflush(nullptr);
        std::_Exit(3);  // no destructor runs: the office stays locked
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "start" && argc == 4) return Start(argv[2], argv[3]);
        if (command == "stop" && argc == 4) return Stop(argv[2], argv[3]);
        if (command == "crash" && argc == 5) return Crash(argv[2], argv[3], argv[4]);
    } catch (const RuntimeFailure& failure) {
        std::fprintf(stderr, "calc_office: %s\n", failure.what());
        return 1;
    }
    std::fprintf(
        stderr,
        "usage: calc_office start FOLDER PIPE | stop FOLDER PIPE | crash PIPE RECORD NAME\n");
    return 2;
}
