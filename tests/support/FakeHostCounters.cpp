#include "support/FakeHostCounters.h"

#include <chrono>
#include <stdexcept>

namespace {
// The kernel counts processor time in ticks of 10 ms, per processor; two processors here.
constexpr std::int64_t kTickNs = 10'000'000;
constexpr std::uint64_t kProcessors = 2;
} // namespace

QByteArray FakeHostCounters::ReadProcStat() {
    const int reads = ++procStatReads;
    const int limit = procStatReadsBeforeError;
    if (limit >= 0 && reads > limit)
        throw std::runtime_error("processor counters went away");
    if (!procStatReadable)
        return {};
    std::lock_guard lock(mutex);
    // user nice system idle iowait irq softirq steal guest guest_nice
    return QByteArray("cpu  ") + QByteArray::number(qulonglong(busyTicks)) + " 0 0 " +
           QByteArray::number(qulonglong(idleTicks)) + " 0 0 0 0 0 0\ncpu0 0 0 0 0\n";
}

std::optional<std::uint64_t> FakeHostCounters::ReadTimeStampCounter() {
    if (!hasTimeStampCounter)
        return std::nullopt;
    if (raised)
        ++raisedCounterReads;
    return timeStampCounter.load();
}

std::int64_t FakeHostCounters::SteadyNanoseconds() {
    std::lock_guard lock(mutex);
    return nowNs;
}

void FakeHostCounters::Advance(int milliseconds) {
    std::lock_guard lock(mutex);
    const std::int64_t ns = std::int64_t(milliseconds) * 1'000'000;
    nowNs += ns;
    timeStampCounter += std::uint64_t(clockMHz.load()) * std::uint64_t(milliseconds) * 1000u;
    const std::uint64_t ticks = std::uint64_t(ns / kTickNs) * kProcessors;
    const std::uint64_t busy = ticks * std::uint64_t(loadPercent.load()) / 100u;
    busyTicks += busy;
    idleTicks += ticks - busy;
}

bool FakeHostCounters::Pause(int milliseconds, std::stop_token stop) {
    if (stop.stop_possible()) {
        ++samplerPauses;
        std::unique_lock lock(mutex);
        holdChanged.wait(lock, stop, [this] { return allowance != 0; });
        if (stop.stop_requested())
            return false;
        if (allowance > 0)
            --allowance;
        lock.unlock();
        std::mutex sleepMutex;
        std::unique_lock sleepLock(sleepMutex);
        std::condition_variable_any sleep;
        sleep.wait_for(sleepLock, stop, std::chrono::milliseconds(realPauseMs.load()),
                       [] { return false; });
        if (stop.stop_requested())
            return false;
    }
    Advance(milliseconds);
    return true;
}

ThreadScheduling FakeHostCounters::CurrentScheduling() {
    return ThreadScheduling{0, 0, raised ? -10 : 0};
}

bool FakeHostCounters::RaiseScheduling() {
    ++raises;
    if (!grantRaise)
        return false;
    raised = true;
    return true;
}

void FakeHostCounters::RestoreScheduling(const ThreadScheduling& saved) {
    ++restores;
    raised = saved.nice != 0;
}

void FakeHostCounters::SetHold(bool hold) {
    {
        std::lock_guard lock(mutex);
        allowance = hold ? 0 : -1;
    }
    holdChanged.notify_all();
}

void FakeHostCounters::AllowPauses(int count) {
    {
        std::lock_guard lock(mutex);
        if (allowance >= 0)
            allowance += count;
    }
    holdChanged.notify_all();
}

bool FakeHostCounters::WaitForSamplerPauses(int count, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (samplerPauses < count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
