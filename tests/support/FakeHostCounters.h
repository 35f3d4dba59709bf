#pragma once

#include "platform/Services.h"

#include <QByteArray>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A host whose processors run at a set load and clock and whose time moves only when the
// sampler pauses: every pause advances the clock, the time-stamp counter and the /proc/stat
// counters by its length, at once.
//
// A pause that can be stopped (the sampler thread's) is held while `holdSampler` is set, until
// the test lets go or the thread is stopped; so a controller under test takes no samples unless
// its test asks for them. Let go, each such pause takes `realPauseMs` of real time.
class FakeHostCounters : public HostCounters {
public:
    QByteArray ReadProcStat() override;
    std::optional<std::uint64_t> ReadTimeStampCounter() override;
    std::optional<std::int32_t> KernelClockMHz() override { return kernelMHz; }
    std::int64_t SteadyNanoseconds() override;
    bool Pause(int milliseconds, std::stop_token stop) override;
    ThreadScheduling CurrentScheduling() override;
    bool RaiseScheduling() override;
    void RestoreScheduling(const ThreadScheduling& saved) override;

    // Lets held pauses go on (or holds them again).
    void SetHold(bool hold);
    // Lets the next `count` stoppable pauses go on, then holds again.
    void AllowPauses(int count);
    // Waits (real time, at most timeoutMs) until `count` stoppable pauses have begun.
    bool WaitForSamplerPauses(int count, int timeoutMs = 5000);

    std::atomic<int> loadPercent{25};
    std::atomic<int> clockMHz{2000};
    std::atomic<bool> procStatReadable{true};
    std::atomic<bool> hasTimeStampCounter{true};
    std::optional<std::int32_t> kernelMHz;
    // The counter's reading at the start; near 2^64 to make it wrap.
    std::atomic<std::uint64_t> timeStampCounter{1'000'000};
    // Reading /proc/stat fails with an error after this many reads (never when negative).
    std::atomic<int> procStatReadsBeforeError{-1};
    std::atomic<bool> grantRaise{true};
    std::atomic<int> realPauseMs{2};

    std::atomic<int> procStatReads{0};
    std::atomic<int> samplerPauses{0};
    std::atomic<int> raises{0};
    std::atomic<int> restores{0};
    // Whether the thread measuring now is raised.
    std::atomic<bool> raised{false};
    // Raised while the time-stamp counter was read at both ends of a measurement.
    std::atomic<int> raisedCounterReads{0};

private:
    void Advance(int milliseconds);

    std::mutex mutex;
    std::condition_variable_any holdChanged;
    // Stoppable pauses that may still go on; -1 for any number.
    int allowance = 0;
    std::int64_t nowNs = 0;
    std::uint64_t busyTicks = 0;
    std::uint64_t idleTicks = 0;
};
