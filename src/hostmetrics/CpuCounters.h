#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// The arithmetic of the CPU sampler, free of any I/O so that it can be fed captured counters.

// The load reads this when the counters cannot be read or show no time passing.
constexpr std::int32_t kLoadUnknown = -1;

// Processor time of all processors together, in the kernel's clock ticks.
struct CpuTimes {
    // user + nice + system + irq + softirq + steal
    std::uint64_t busy = 0;
    // idle + iowait: a processor waiting for a disk is free for other work.
    std::uint64_t idle = 0;
};

// Reads the summary line ("cpu  user nice system idle iowait irq softirq steal guest
// guest_nice") of /proc/stat. The guest times are already part of user and nice and are not
// counted twice. Fields missing at the end (older kernels) count as 0; a file without the
// summary line or with fewer than the first four fields gives nothing.
std::optional<CpuTimes> ParseProcStat(const QByteArray& text);

// The non-idle share of all processors between two readings, in whole percent, rounded to the
// nearest with halves going up (100 - idle share + 0.5, truncated). A counter that went backwards
// (a processor taken offline, a kernel quirk of iowait) counts as no change; with no time between
// the readings the load is kLoadUnknown.
std::int32_t LoadPercentBetween(const CpuTimes& before, const CpuTimes& after);

// The clock in MHz from two readings of the time-stamp counter `elapsedNs` nanoseconds apart.
// The difference is taken over the counter's full 64 bits, so a counter that wrapped between the
// readings still gives the right clock, and clocks above 4294 MHz read correctly.
std::int32_t ClockMHzFromCounter(std::uint64_t start, std::uint64_t end, std::int64_t elapsedNs);

// The kernel's reported clock, for processors without a readable time-stamp counter:
// cpufreq's scaling_cur_freq (kHz) ...
std::optional<std::int32_t> ParseScalingFrequencyKHz(const QByteArray& text);
// ... or the first "cpu MHz" line of /proc/cpuinfo.
std::optional<std::int32_t> ParseCpuInfoMHz(const QByteArray& text);
