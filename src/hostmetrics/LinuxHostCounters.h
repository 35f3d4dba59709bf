#pragma once

#include "platform/Services.h"

// The counters of the machine the program runs on: /proc/stat, the x86 time-stamp counter and
// the scheduler of the calling thread.
class LinuxHostCounters : public HostCounters {
public:
    QByteArray ReadProcStat() override;
    std::optional<std::uint64_t> ReadTimeStampCounter() override;
    std::optional<std::int32_t> KernelClockMHz() override;
    std::int64_t SteadyNanoseconds() override;
    bool Pause(int milliseconds, std::stop_token stop) override;
    ThreadScheduling CurrentScheduling() override;
    bool RaiseScheduling() override;
    void RestoreScheduling(const ThreadScheduling& saved) override;
};
