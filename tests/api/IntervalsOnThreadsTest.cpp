// Profiles and the bootstrap of the silver chloride example with Varsel's engine, spread over
// threads: one and two threads give the same intervals for the same seed and another seed
// gives others; a stop ends the work at once and leaves the data file as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/TempFolder.h"
#include "uncertainty/Uncertainty.h"
#include "varsel/Problem.h"

namespace varsel::test {
namespace {

const std::string kExample = std::string(VARSEL_EXAMPLES_DIR) + "/agcl.txt";

uncertainty::Result Estimate(int threads, std::uint64_t seed, bool profile) {
    Problem problem = Problem::Open(kExample);
    uncertainty::Options options;
    options.Profile = profile;
    options.Replicates = 60;
    options.Seed = seed;
    options.Threads = threads;
    return uncertainty::Estimate(problem, options);
}

TEST(IntervalsOnThreadsTest, OneAndTwoThreadsAgreeAndAnotherSeedDiffers) {
    const uncertainty::Result one = Estimate(1, 7, true);
    const uncertainty::Result two = Estimate(2, 7, true);
    const uncertainty::Result other = Estimate(2, 8, false);
    ASSERT_TRUE(one.Failure.empty()) << one.Failure;
    ASSERT_EQ(one.Failed, 0) << one.FirstFailure;
    ASSERT_EQ(one.ReplicateValues.size(), 60u);
    EXPECT_EQ(one.ReplicateValues, two.ReplicateValues);
    EXPECT_EQ(one.Flags, two.Flags);
    ASSERT_EQ(one.Species.size(), 3u);
    for (std::size_t p = 0; p < 3; ++p) {
        const uncertainty::SpeciesIntervals& a = one.Species[p];
        const uncertainty::SpeciesIntervals& b = two.Species[p];
        EXPECT_EQ(a.BootstrapLow, b.BootstrapLow) << a.Name;
        EXPECT_EQ(a.BootstrapHigh, b.BootstrapHigh) << a.Name;
        for (auto end : {&uncertainty::ProfileInterval::Low, &uncertainty::ProfileInterval::High}) {
            ASSERT_TRUE((a.Joint.*end).Found() && (a.Individual.*end).Found()) << a.Name;
            EXPECT_EQ((a.Joint.*end).Value, (b.Joint.*end).Value) << a.Name;
            EXPECT_EQ((a.Individual.*end).Value, (b.Individual.*end).Value) << a.Name;
        }
        EXPECT_NE(a.BootstrapLow, other.Species[p].BootstrapLow) << a.Name;
        EXPECT_NE(a.BootstrapHigh, other.Species[p].BootstrapHigh) << a.Name;
    }
}

TEST(IntervalsOnThreadsTest, StopEndsABootstrapWithinHalfASecondAndLeavesTheFileAlone) {
    TempFolder folder;
    const std::string original = FileBytes(kExample);
    const auto copy = folder.Write("agcl.txt", original);
    Problem problem = Problem::Open(copy.string());
    StopSource source;
    std::atomic<bool> refitting{false};
    uncertainty::Options options;
    options.Replicates = 100000;
    options.Threads = 2;
    options.Stop = source.Token();
    options.Progress = [&refitting](int, int) { refitting = true; };
    std::chrono::steady_clock::time_point asked;
    std::thread user([&] {
        while (!refitting)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        asked = std::chrono::steady_clock::now();
        source.Request();
    });
    const uncertainty::Result r = uncertainty::Estimate(problem, options);
    const auto ended = std::chrono::steady_clock::now();
    user.join();
    EXPECT_TRUE(r.Stopped);
    EXPECT_TRUE(r.Species.empty() || !r.Species.front().HasBootstrap);
    EXPECT_LT(std::chrono::duration<double>(ended - asked).count(), 0.5);
    EXPECT_EQ(folder.Read("agcl.txt"), original);
}

}  // namespace
}  // namespace varsel::test
