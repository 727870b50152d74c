// calc_office: brings up and takes down the headless office that the workbook tests share.
//
//   calc_office start FOLDER PIPE   fresh profile in FOLDER/profile (document lock files off),
//                                   an office started on it by the backend's own Start(),
//                                   listening on PIPE; returns once it accepts connections
//   calc_office stop FOLDER PIPE    ends the office of that profile, removes FOLDER and the
//                                   socket files of PIPE (and of the pipes named after it)
#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/RuntimeFailure.h"
#include "services/uno/CalcConnector.h"
#include "services/uno/OfficeProcesses.h"

namespace fs = std::filesystem;
using namespace varsel;

namespace {

std::string ProfileUrl(const fs::path& folder) {
    return "file://" + (folder / "profile").string();
}

int Stop(const fs::path& folder, const std::string& pipe) {
    // Each office leads the process group of its launcher; the group goes as a whole.
    for (const pid_t office : calc::RunningOffices(ProfileUrl(folder)))
        calc::EndProcessGroup(getpgid(office), 10000);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    // The office leaves the socket files of the pipes it listened on.
    const std::string prefix = "OSL_PIPE_" + std::to_string(getuid()) + "_" + pipe;
    for (const auto& entry : fs::directory_iterator("/tmp", ignored)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) fs::remove(entry, ignored);
    }
    return 0;
}

int Start(const fs::path& folder, const std::string& pipe) {
    Stop(folder, pipe);  // whatever an interrupted run left
    fs::create_directories(folder / "profile" / "user");
    std::ofstream(folder / "profile" / "user" / "registrymodifications.xcu")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<oor:items "
           "xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n<item "
           "oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"UseLocking\" "
           "oor:op=\"fuse\"><value>false</value></prop></item>\n</oor:items>\n";
    // The most open umask, which the office must not hand on to its pipe.
    umask(0);
    CalcOptions options = DefaultCalcOptions();
    options.PipeName = pipe;
    options.UserInstallation = ProfileUrl(folder);
    options.LockRecordPath = (folder / "locks").string();
    options.StartArguments = {"--headless", "--invisible", "--norestore", "--nodefault",
                              "--nologo"};
    // A fresh profile's first start is slow, the more so on a busy machine.
    options.StartTimeoutMs = 170000;
    const auto started = std::chrono::steady_clock::now();
    const bool up = MakeCalcConnector(options)->Start() != nullptr;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("office %s on %s after %.2f s\n", up ? "listens" : "did not come up", pipe.c_str(),
                seconds);
    return up ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "start" && argc == 4) return Start(argv[2], argv[3]);
        if (command == "stop" && argc == 4) return Stop(argv[2], argv[3]);
    } catch (const RuntimeFailure& failure) {
        std::fprintf(stderr, "calc_office: %s\n", failure.what());
        return 1;
    }
    std::fprintf(stderr, "usage: calc_office start FOLDER PIPE | stop FOLDER PIPE\n");
    return 2;
}
