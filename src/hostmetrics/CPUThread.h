#pragma once

#include "platform/Services.h"

#include <QPointer>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <stop_token>

class LoadGraph;
class QLabel;
class QSystemTrayIcon;

// Samples the host's CPU load and clock on its own thread at the lowest priority and shows
// them in the clock panel, the load graph and the tray hint.
//
// The thread never touches a widget: each sample is handed to the user-interface thread as a
// queued call, without waiting, so that the close sequence can wait for the thread without
// deadlocking. The hint is built there too, where the readings and the alarm text are written,
// so it always sees them whole. The two result cells are written here and read anywhere.
class CPUThread : public QThread {
    Q_OBJECT

public:
    // Measures the clock once on the calling (user-interface) thread, then starts sampling.
    // The widgets and the cells are the controller's and must outlive the thread.
    CPUThread(QLabel* speedPanel, LoadGraph* loadGraph, QSystemTrayIcon* trayIcon,
              std::atomic<std::int32_t>* speedOut, std::atomic<std::int32_t>* loadOut,
              HostCounters& counters, MessageSink& messages);
    // Stops the thread and waits for it.
    ~CPUThread() override;

    // Asks the thread to end. A measurement in progress is abandoned, so the thread ends within
    // the pass it is in; the controller then waits for it.
    void Stop();

    // The program has its main window once construction has ended; a window minimised to the
    // tray stays visible in this sense.
    void SetMainWindowState(bool exists, bool visible);

    // The clock in MHz measured over one second on the calling thread, raised while it measures.
    std::int32_t MeasureCpuClock();
    // The load of all processors in percent over one second; kLoadUnknown when unreadable.
    std::int32_t MeasureCpuLoad();
    // Measures the clock again when the processor is quiet (load below 40 %); runs on every
    // tenth sample.
    void RefreshCpuClock();
    // Builds the tray hint from the tray-text choice and sets it. User-interface thread only.
    void UpdateTrayHint();

protected:
    void run() override;

private:
    void Execute();
    void SamplePass();
    std::int32_t MeasureClockOn(std::stop_token stop);
    void PauseOrStop(int milliseconds, std::stop_token stop);
    bool SamplingNow() const;
    void ShowSample(const QString& clockText, std::int32_t load);
    void ShowError(const QString& text);

    QPointer<QLabel> speedPanel;
    QPointer<LoadGraph> loadGraph;
    // Samples since the last clock refresh, 0..10. Sampler thread only.
    std::uint16_t sampleCount = 0;
    std::atomic<std::int32_t>* speedOut;
    std::atomic<std::int32_t>* loadOut;
    QPointer<QSystemTrayIcon> trayIcon;

    HostCounters& counters;
    MessageSink& messages;
    std::stop_source stopSource;
    std::atomic<bool> hasMainWindow{false};
    std::atomic<bool> mainWindowVisible{false};
};
