// Getting at the data file: every way opening or writing it can fail names the path and the
// system's reason and leaves the file's bytes alone.
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>

#include "PipelineFixture.h"
#include "output/ResultsWriter.h"
#include "shell/RunSequence.h"
#include "support/Unprivileged.h"

namespace varsel::test {
namespace {

namespace fs = std::filesystem;

using DataFileAccessTest = PipelineTest;

TEST_F(DataFileAccessTest, FailuresNameThePathAndTheReasonAndKeepTheFile) {
    const auto mode = [](fs::perms perms, bool ofFolder = false) {
        return [=](const fs::path& f) { fs::permissions(ofFolder ? f.parent_path() : f, perms); };
    };
    const auto missing = [](const fs::path& f) { fs::remove(f); };
    const auto folder = [](const fs::path& f) { fs::remove(f), fs::create_directory(f); };
    const std::string open = "Source data: could not open the file: ";
    const std::string cannotSave = "Results cannot be saved: ";
    struct Case {
        const char* what;
        std::string name;                          // the path box
        std::function<void(const fs::path&)> set;  // turns the data file into the case
        std::string first;                         // the first message, before path and reason
        const char* reason;                        // the system's reason; empty: the run saves
        MessageAnswer answer = MessageAnswer::No;  // to the question before the fit
        rlim_t sizeLimit = RLIM_INFINITY;          // the largest file the run may write
    };
    const Case cases[] = {
        {"missing", "absent.txt", missing, open, "No such file or directory"},
        {"unreadable", "data.txt", mode(fs::perms::none), open, "Permission denied"},
        {"folder", "sub", folder, open, "Is a directory"},
        {"folder named x.txt", "x.txt", folder, open, "Is a directory"},
        {"read-only file", "data.txt", mode(fs::perms(0444)), cannotSave, "Permission denied"},
        {"read-only file, fit anyway", "data.txt", mode(fs::perms(0444)), cannotSave,
         "Permission denied", MessageAnswer::Yes},
        {"unwritable folder", "data.txt", mode(fs::perms(0555), true), cannotSave,
         "Permission denied"},
        {"240-byte name", std::string(236, 'n') + ".txt", nullptr, "", ""},
        // The space the results need is set aside before the fit, so a disk too full for
        // them is found then (a file size limit stands in for the full disk).
        {"no room for the results", "data.txt", nullptr, cannotSave, "File too large",
         MessageAnswer::No, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder place;
        fs::permissions(place.Path(), fs::perms::all);
        const fs::path file = place.Write(c.name, JoinLines(FittableExample()));
        fs::permissions(file, fs::perms(0666));
        if (c.set) c.set(file);
        const auto bytes = [&] { return fs::is_regular_file(file) ? FileBytes(file) : ""; };
        const std::string before = bytes();
        m = ProblemModel();
        m.WorkFolder = place.AsWorkFolder();
        window = RecordingWindow();
        window.Path = c.name;
        window.Answers = {c.answer};
        const std::string named = file.string() + ": " + c.reason;
        // A superuser may write anyway: the cases run as a user whom permissions bind.
        const int failed = RunUnprivileged([&] {
            int failures = 0;
            const auto expect = [&](bool ok, const std::string& what) {
                if (!ok) std::fprintf(stderr, "%s: %s\n", c.what, what.c_str());
                failures |= ok ? 0 : 1;
            };
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            const rlimit before = limit;
            limit.rlim_cur = c.sizeLimit;
            std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &limit);
            RunSequence(m, context);
            const std::string shown = window.Messages.empty() ? "" : window.Messages[0].Text;
            if (*c.reason == '\0') {
                expect(shown == "Results are saved  ", "saved: " + shown);
            } else if (c.first == open) {
                expect(shown == open + named + "  ", "message: " + shown);
            } else {
                expect(shown == cannotSave + named +
                                    "\r\nFit anyway and show the results without saving them?  ",
                       "question: " + shown);
                const std::string last = window.Messages.back().Text;
                expect((c.answer == MessageAnswer::Yes) ==
                           (last.rfind("Results are not saved  \r\nNa+: ", 0) == 0),
                       "results shown after a fit anyway: " + last);
                window.Messages.clear();
                SaveResults(m, context);
                // Under the size limit the writer gets as far as writing the text (the engine
                // of the declined run is closed by then, which it says).
                const std::string writer =
                    c.sizeLimit == RLIM_INFINITY
                        ? "Could not write to file (disk access error?): " + named
                        : "Error1002 while writing results to the file: " + file.string() +
                              ": The engine is not open";
                const std::string said = window.Messages.empty() ? "" : window.Messages[0].Text;
                expect(said == writer, "the writer's message: " + said);
            }
            setrlimit(RLIMIT_FSIZE, &before);
            return failures;
        });
        if (failed == kCannotDropPrivileges) GTEST_SKIP() << "cannot give up privileges";
        EXPECT_EQ(failed, 0);
        EXPECT_EQ(bytes() == before, *c.reason != '\0') << "only a save changes the file";
        EXPECT_EQ(std::distance(fs::directory_iterator(place.Path()), fs::directory_iterator()),
                  fs::exists(file) ? 1 : 0)
            << "no temporary file is left";
    }
}

// The path box may name the file relative to the working folder, with its full path or from
// the home folder; the one file it names is read, checked and rewritten, and a full path
// moves the working folder to the file's folder.
TEST_F(DataFileAccessTest, PathBoxTakesRelativeFullAndHomePaths) {
    fs::create_directories(folder.Path() / "sub");
    const fs::path file = folder.Write("sub/data.txt", JoinLines(FittableExample()));
    const char* home = std::getenv("HOME");
    const std::string oldHome = home != nullptr ? home : "";
    setenv("HOME", folder.Path().c_str(), 1);
    const std::string work = folder.AsWorkFolder();
    for (const std::string& path :
         {std::string("sub/data.txt"), file.string(), std::string("~/sub/data.txt")}) {
        SCOPED_TRACE(path);
        folder.Write("sub/data.txt", JoinLines(FittableExample()));
        const std::string before = FileBytes(file);
        m = ProblemModel();
        m.WorkFolder = work;
        window = RecordingWindow();
        window.Path = path;
        RunSequence(m, context);
        ASSERT_FALSE(window.Messages.empty());
        EXPECT_EQ(window.Messages.back().Text, "Results are saved  ");
        EXPECT_NE(FileBytes(file), before);
        EXPECT_EQ(m.DataFile, (folder.Path() / "sub" / "data.txt").string());
        EXPECT_EQ(m.WorkFolder, path[0] == 's' ? work : work + "sub/");
        EXPECT_EQ(
            std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
    }
    setenv("HOME", oldHome.c_str(), 1);
}

}  // namespace
}  // namespace varsel::test
