#include "hostmetrics/CPUThread.h"

#include "hostmetrics/CpuCounters.h"
#include "hostmetrics/TrayHint.h"
#include "platform/ErrorText.h"
#include "protocol/UnitData.h"
#include "ui/LoadGraph.h"

#include <QLabel>
#include <QSystemTrayIcon>

namespace {

// Both measurements span one second.
constexpr int kMeasureSpanMs = 1000;
constexpr int kPauseAfterSampleMs = 1;
// How often a thread that may not sample yet looks again.
constexpr int kNotSamplingRecheckMs = 100;
constexpr std::uint16_t kSamplesPerClockRefresh = 10;
// Above this load the clock is not measured: a busy processor would distort the reading.
constexpr std::int32_t kQuietLoadPercent = 40;
const QColor kLime(0x00, 0xFF, 0x00);

// Thrown from a pause that a stop request cut short; ends the thread without a message.
struct SamplingStopped {};

// Puts the calling thread's scheduling back however the measurement ends.
class SchedulingRestorer {
public:
    explicit SchedulingRestorer(HostCounters& counters)
        : counters(counters), saved(counters.CurrentScheduling()) {}
    ~SchedulingRestorer() { counters.RestoreScheduling(saved); }
    SchedulingRestorer(const SchedulingRestorer&) = delete;
    SchedulingRestorer& operator=(const SchedulingRestorer&) = delete;

private:
    HostCounters& counters;
    ThreadScheduling saved;
};

} // namespace

CPUThread::CPUThread(QLabel* speedPanel, LoadGraph* loadGraph, QSystemTrayIcon* trayIcon,
                     std::atomic<std::int32_t>* speedOut, std::atomic<std::int32_t>* loadOut,
                     HostCounters& counters, MessageSink& messages)
    : speedPanel(speedPanel), loadGraph(loadGraph), speedOut(speedOut), loadOut(loadOut),
      trayIcon(trayIcon), counters(counters), messages(messages) {
    // Measured before the thread runs, so that the two never measure at the same time. No stop
    // request can cut this one short.
    *speedOut = MeasureClockOn(std::stop_token());
    *loadOut = 0;
    sampleCount = 0;
    start(QThread::IdlePriority);
}

CPUThread::~CPUThread() {
    Stop();
    wait();
}

void CPUThread::Stop() {
    requestInterruption();
    stopSource.request_stop();
}

void CPUThread::SetMainWindowState(bool exists, bool visible) {
    hasMainWindow = exists;
    mainWindowVisible = visible;
}

void CPUThread::run() {
    Execute();
}

void CPUThread::Execute() {
    const std::stop_token stop = stopSource.get_token();
    while (!stop.stop_requested() && !isInterruptionRequested()) {
        try {
            if (!SamplingNow()) {
                PauseOrStop(kNotSamplingRecheckMs, stop);
                continue;
            }
            SamplePass();
        } catch (const SamplingStopped&) {
            return;
        } catch (...) {
            // A failed pass ends the sampler for this run; the cells keep their last values.
            ShowError(ErrorMessage(std::current_exception()));
            return;
        }
    }
}

bool CPUThread::SamplingNow() const {
    return SamplingWanted(hasMainWindow, mainWindowVisible, speedOut && loadOut,
                          trayHintSelection.load());
}

void CPUThread::SamplePass() {
    ++sampleCount;
    *loadOut = MeasureCpuLoad();
    if (sampleCount >= kSamplesPerClockRefresh)
        RefreshCpuClock();
    ShowSample(QStringLiteral("%1 MHz ").arg(speedOut->load()), loadOut->load());
    PauseOrStop(kPauseAfterSampleMs, stopSource.get_token());
}

void CPUThread::ShowSample(const QString& clockText, std::int32_t load) {
    // Queued to the user-interface thread, where this object lives; not waited for. Calls still
    // pending when the thread object is deleted are dropped with it.
    QMetaObject::invokeMethod(
        this,
        [this, clockText, load] {
            if (speedPanel)
                speedPanel->setText(clockText);
            if (loadGraph)
                loadGraph->AddPoint(load, kLime);
            UpdateTrayHint();
        },
        Qt::QueuedConnection);
}

void CPUThread::ShowError(const QString& text) {
    QMetaObject::invokeMethod(
        this, [this, text] { messages.ShowMessage(text); }, Qt::QueuedConnection);
}

void CPUThread::RefreshCpuClock() {
    if (*loadOut < kQuietLoadPercent) {
        try {
            *speedOut = MeasureCpuClock();
        } catch (const SamplingStopped&) {
            throw;
        } catch (...) {
            ShowError(ErrorMessage(std::current_exception()));
        }
    }
    // Also after a failed measurement: the next try comes ten samples later.
    sampleCount = 0;
}

std::int32_t CPUThread::MeasureCpuClock() {
    return MeasureClockOn(stopSource.get_token());
}

std::int32_t CPUThread::MeasureClockOn(std::stop_token stop) {
    if (!counters.ReadTimeStampCounter())
        return counters.KernelClockMHz().value_or(0);

    const SchedulingRestorer restorer(counters);
    // A refused raise is ignored: the clock is then measured at the current priority.
    counters.RaiseScheduling();
    const std::uint64_t startTicks = counters.ReadTimeStampCounter().value_or(0);
    const std::int64_t startNs = counters.SteadyNanoseconds();
    PauseOrStop(kMeasureSpanMs, stop);
    const std::int64_t endNs = counters.SteadyNanoseconds();
    const std::uint64_t endTicks = counters.ReadTimeStampCounter().value_or(startTicks);
    return ClockMHzFromCounter(startTicks, endTicks, endNs - startNs);
}

std::int32_t CPUThread::MeasureCpuLoad() {
    const auto before = ParseProcStat(counters.ReadProcStat());
    // The pause is kept when the counters are unreadable, so that a broken /proc/stat cannot
    // turn the sampler into a busy loop.
    PauseOrStop(kMeasureSpanMs, stopSource.get_token());
    const auto after = ParseProcStat(counters.ReadProcStat());
    if (!before || !after)
        return kLoadUnknown;
    return LoadPercentBetween(*before, *after);
}

void CPUThread::PauseOrStop(int milliseconds, std::stop_token stop) {
    if (!counters.Pause(milliseconds, stop))
        throw SamplingStopped{};
}

void CPUThread::UpdateTrayHint() {
    if (!loadOut || !speedOut)
        return;
    try {
        TrayHintInputs inputs;
        inputs.selection = trayHintSelection;
        for (int slot = 0; slot < kSensorCount; ++slot)
            inputs.temperatures[slot] = unitData.sensors[slot].temperature;
        inputs.useCelsius = useCelsius;
        inputs.cpuSpeedMHz = *speedOut;
        inputs.cpuLoadPercent = *loadOut;
        if (trayIcon)
            trayIcon->setToolTip(ChooseTrayHint(TrayHintText(inputs), trayAlarmText.Get()));
    } catch (...) {
        messages.ShowMessage(ErrorMessage(std::current_exception()));
    }
}
