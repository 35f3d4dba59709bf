#include "hostmetrics/LinuxHostCounters.h"

#include "hostmetrics/CpuCounters.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#define TCC_HAS_TSC 1
#endif

namespace {

// The nice value of a thread measuring the clock: well above normal, as far as allowed.
constexpr int kRaisedNice = -10;

QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // /proc files report a size of 0; readAll reads until the end.
    return file.readAll();
}

#ifdef TCC_HAS_TSC
// A process can have the instruction switched off (PR_SET_TSC); reading it then kills the
// process with SIGSEGV instead of failing.
bool TimeStampCounterReadable() {
    int state = PR_TSC_ENABLE;
    if (prctl(PR_GET_TSC, &state, 0, 0, 0) != 0)
        return true; // the kernel does not know the setting, so it cannot be off
    return state == PR_TSC_ENABLE;
}
#endif

pid_t CallingThreadId() {
    return gettid();
}

} // namespace

QByteArray LinuxHostCounters::ReadProcStat() {
    return ReadWholeFile(QStringLiteral("/proc/stat"));
}

std::optional<std::uint64_t> LinuxHostCounters::ReadTimeStampCounter() {
#ifdef TCC_HAS_TSC
    if (TimeStampCounterReadable())
        return __rdtsc();
#endif
    return std::nullopt;
}

std::optional<std::int32_t> LinuxHostCounters::KernelClockMHz() {
    if (auto mhz = ParseScalingFrequencyKHz(
            ReadWholeFile(QStringLiteral("/sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"))))
        return mhz;
    return ParseCpuInfoMHz(ReadWholeFile(QStringLiteral("/proc/cpuinfo")));
}

std::int64_t LinuxHostCounters::SteadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool LinuxHostCounters::Pause(int milliseconds, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wakeUp;
    std::unique_lock lock(mutex);
    // Only a stop request wakes the wait early.
    wakeUp.wait_for(lock, stop, std::chrono::milliseconds(milliseconds), [] { return false; });
    return !stop.stop_requested();
}

ThreadScheduling LinuxHostCounters::CurrentScheduling() {
    ThreadScheduling current;
    sched_param param{};
    if (pthread_getschedparam(pthread_self(), &current.policy, &param) == 0)
        current.priority = param.sched_priority;
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(CallingThreadId()));
    current.nice = errno == 0 ? nice : 0;
    return current;
}

// Leaves the idle scheduling class the sampler runs in and lowers the thread's nice value.
// Without the right to do so (CAP_SYS_NICE or a high enough RLIMIT_NICE) either step fails, and
// the clock is measured where the thread stands.
bool LinuxHostCounters::RaiseScheduling() {
    sched_param normal{};
    const bool policyRaised = pthread_setschedparam(pthread_self(), SCHED_OTHER, &normal) == 0;
    const bool niceRaised =
        setpriority(PRIO_PROCESS, static_cast<id_t>(CallingThreadId()), kRaisedNice) == 0;
    return policyRaised && niceRaised;
}

void LinuxHostCounters::RestoreScheduling(const ThreadScheduling& saved) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(CallingThreadId()), saved.nice);
    sched_param param{};
    param.sched_priority = saved.priority;
    pthread_setschedparam(pthread_self(), saved.policy, &param);
}
