// The sampler's arithmetic on captured counters: the load from two /proc/stat snapshots, the
// clock from time-stamp counter readings, the kernel's reported clock, and the tray hint.

#include "hostmetrics/CpuCounters.h"
#include "hostmetrics/LinuxHostCounters.h"
#include "hostmetrics/TrayHint.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <pthread.h>
#include <sched.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

// Two processors, as /proc/stat shows them: the summary line first, then one line each.
const QByteArray kTwoIdleProcessors = "cpu  1000 0 500 8000 500 0 0 0 0 0\n"
                                      "cpu0 500 0 250 4000 250 0 0 0 0 0\n"
                                      "cpu1 500 0 250 4000 250 0 0 0 0 0\n"
                                      "intr 123 0 0\nctxt 456\n";

struct LoadCase {
    const char* what;
    QByteArray before;
    QByteArray after;
    std::int32_t load;
};

TEST(CpuLoad, ShareOfNonIdleTimeBetweenTwoSnapshots) {
    const std::vector<LoadCase> cases = {
        {"both processors idle for one second", kTwoIdleProcessors,
         "cpu  1000 0 500 8200 500 0 0 0 0 0\n", 0},
        {"one of two processors fully busy", kTwoIdleProcessors,
         "cpu  1100 0 500 8100 500 0 0 0 0 0\n", 50},
        {"both busy", kTwoIdleProcessors, "cpu  1150 0 550 8000 500 0 0 0 0 0\n", 100},
        // user, nice, system, irq, softirq and steal are busy; guest is inside user already
        {"every busy field counts, guest not twice", "cpu  0 0 0 0 0 0 0 0 0 0\n",
         "cpu  10 10 10 100 0 10 10 10 50 50\n", 38},
        {"waiting for the disk counts as idle", "cpu  0 0 0 0 0 0 0 0\n",
         "cpu  50 0 0 100 50 0 0 0\n", 25},
        {"12.5 % rounds up", "cpu  0 0 0 0\n", "cpu  1 0 0 7\n", 13},
        {"6.25 % rounds down", "cpu  0 0 0 0\n", "cpu  1 0 0 15\n", 6},
        {"older kernel with four fields", "cpu  100 0 0 100\n", "cpu  175 0 0 125\n", 75},
        {"idle counter went backwards: no idle time, not a wrapped huge one",
         "cpu  1000 0 0 5000 100 0 0 0\n", "cpu  1100 0 0 5000 90 0 0 0\n", 100},
        {"every counter went backwards", "cpu  1000 0 0 5000\n", "cpu  900 0 0 4000\n",
         kLoadUnknown},
        {"no time passed", kTwoIdleProcessors, kTwoIdleProcessors, kLoadUnknown},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto before = ParseProcStat(c.before);
        const auto after = ParseProcStat(c.after);
        ASSERT_TRUE(before && after);
        EXPECT_EQ(LoadPercentBetween(*before, *after), c.load);
    }
}

TEST(CpuLoad, UnreadableSnapshotsGiveNothing) {
    const std::vector<QByteArray> unreadable = {
        "",
        "cpu  10 20 30\n",                      // cut short before idle
        "cpu0 10 20 30 40\ncpu1 10 20 30 40\n", // no summary line
        "cpu  10 20 x 40\n",                    // not a number
        "cpu  10 -20 30 40\n",                  // counters are never negative
        "cpu  99999999999999999999999 0 0 0\n", // beyond 64 bits
        "intr 1 2 3\nctxt 4\n",
    };
    for (const QByteArray& text : unreadable) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(ParseProcStat(text).has_value());
    }
}

struct ClockCase {
    const char* what;
    std::uint64_t start;
    std::uint64_t end;
    std::int64_t elapsedNs;
    std::int32_t mhz;
};

TEST(CpuClock, TicksPerMicrosecondOverTheFull64Bits) {
    constexpr std::uint64_t kTop = std::numeric_limits<std::uint64_t>::max();
    const std::vector<ClockCase> cases = {
        {"2000 MHz over one second", 123456789, 123456789 + 2'000'000'000ull, 1'000'000'000, 2000},
        {"5000 MHz is not cut to 32 bits (705)", 7, 7 + 5'000'000'000ull, 1'000'000'000, 5000},
        {"the counter wraps between the readings", kTop - 999'999'999, 3'000'000'000ull,
         1'000'000'000, 4000},
        {"a second that lasted 1.001 s", 0, 2'002'000'000ull, 1'001'000'000, 2000},
        {"part of a megahertz is dropped", 0, 2'999'999'999ull, 1'000'000'000, 2999},
        {"no time passed", 0, 2'000'000'000ull, 0, 0},
        {"absurd advance stops at the largest value", 0, kTop, 1,
         std::numeric_limits<std::int32_t>::max()},
    };
    for (const ClockCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ClockMHzFromCounter(c.start, c.end, c.elapsedNs), c.mhz);
    }
}

TEST(CpuClock, KernelReportedFrequency) {
    EXPECT_EQ(ParseScalingFrequencyKHz("2401000\n"), 2401);
    EXPECT_EQ(ParseScalingFrequencyKHz("<unknown>\n"), std::nullopt);
    EXPECT_EQ(ParseScalingFrequencyKHz(""), std::nullopt);
    EXPECT_EQ(ParseCpuInfoMHz("processor\t: 0\nmodel name\t: Some CPU\ncpu MHz\t\t: 3199.6\n"
                              "processor\t: 1\ncpu MHz\t\t: 800.000\n"),
              3200);
    // Processors whose kernel lists no clock at all.
    EXPECT_EQ(ParseCpuInfoMHz("processor\t: 0\nBogoMIPS\t: 48.00\nFeatures\t: fp asimd\n"),
              std::nullopt);
}

struct HintCase {
    const char* what;
    int selection;
    bool celsius;
    QString text;
};

TEST(TrayHint, TextByChoice) {
    TrayHintInputs in;
    in.temperatures = {-40, 21, -99, 0, 100};
    in.cpuSpeedMHz = 5000;
    in.cpuLoadPercent = 37;
    const std::vector<HintCase> cases = {
        {"evaporator", 0, true, "Evaporator Temp: -40"},
        {"evaporator in Fahrenheit", 0, false, "Evaporator Temp: -40"},
        {"sensor 2 in Celsius", 1, true, "Sensor 2 Temp: 21"},
        {"sensor 2: 21 C is 69.8 F, shown rounded", 1, false, "Sensor 2 Temp: 70"},
        {"absent sensor", 2, true, "Sensor 3 Temp: N/A"},
        {"absent sensor is not converted", 2, false, "Sensor 3 Temp: N/A"},
        {"sensor 4 at zero", 3, false, "Sensor 4 Temp: 32"},
        {"sensor 5", 4, true, "Sensor 5 Temp: 100"},
        {"clock", 5, true, "CPU Speed: 5000 MHz"},
        {"load", 6, false, "CPU load: 37 %"},
        {"a typed text of the user's own", -1, true, ""},
        {"beyond the list", 7, true, ""},
    };
    for (const HintCase& c : cases) {
        SCOPED_TRACE(c.what);
        in.selection = c.selection;
        in.useCelsius = c.celsius;
        EXPECT_EQ(TrayHintText(in), c.text);
    }
}

TEST(TrayHint, AlarmTextWinsWhileSet) {
    EXPECT_EQ(ChooseTrayHint("CPU load: 5 %", ""), "CPU load: 5 %");
    EXPECT_EQ(ChooseTrayHint("CPU load: 5 %", "Sensor 2: WARNING"), "Sensor 2: WARNING");
    EXPECT_EQ(ChooseTrayHint("", "Sensor 2: WARNING"), "Sensor 2: WARNING");
}

struct SamplingCase {
    bool hasMainWindow;
    bool visible;
    bool cellsSet;
    int selection;
    bool samples;
};

TEST(SamplingCondition, OnlyWithTheWindowAndItsCellsWhileVisibleOrTheHintShowsTheCpu) {
    const std::vector<SamplingCase> cases = {
        {true, true, true, 0, true},    {true, false, true, 0, false},
        {true, false, true, 5, true},   {true, false, true, 6, true},
        {true, false, true, -1, false}, {false, true, true, 0, false},
        {false, false, true, 5, false}, {true, true, false, 0, false},
    };
    for (const SamplingCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.hasMainWindow << c.visible << c.cellsSet << " " << c.selection);
        EXPECT_EQ(SamplingWanted(c.hasMainWindow, c.visible, c.cellsSet, c.selection), c.samples);
    }
}

// --- this machine's counters ------------------------------------------------------------------

TEST(LinuxCounters, ThisMachinesProcStatParsesAndTheCountersAdvance) {
    LinuxHostCounters host;
    const auto times = ParseProcStat(host.ReadProcStat());
    ASSERT_TRUE(times.has_value());
    EXPECT_GT(times->busy + times->idle, 0u);
    const std::int64_t start = host.SteadyNanoseconds();
    EXPECT_TRUE(host.Pause(20, std::stop_token()));
    EXPECT_GE(host.SteadyNanoseconds() - start, 20'000'000);
    if (const auto first = host.ReadTimeStampCounter()) {
        const auto second = host.ReadTimeStampCounter();
        ASSERT_TRUE(second.has_value());
        EXPECT_NE(*second, *first);
    }
}

TEST(LinuxCounters, AStopRequestCutsAPauseShort) {
    LinuxHostCounters host;
    std::stop_source stop;
    std::jthread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop.request_stop();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(host.Pause(60'000, stop.get_token()));
    // Far below the minute the pause would otherwise last.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(LinuxCounters, RaisingAndRestoringLeavesTheThreadAsItWas) {
    LinuxHostCounters host;
    std::thread idleThread([&host] {
        // The sampler's own scheduling: the idle class.
        sched_param none{};
        ASSERT_EQ(pthread_setschedparam(pthread_self(), SCHED_IDLE, &none), 0);
        const ThreadScheduling saved = host.CurrentScheduling();
        host.RaiseScheduling(); // granted or refused, depending on this user's rights
        host.RestoreScheduling(saved);
        const ThreadScheduling now = host.CurrentScheduling();
        EXPECT_EQ(now.policy, SCHED_IDLE);
        EXPECT_EQ(now.nice, saved.nice);
    });
    idleThread.join();
}

} // namespace
