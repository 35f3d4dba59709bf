#include "app/TForm1.h"

#include "hostmetrics/CPUThread.h"
#include "ui/EventHook.h"

#include <QEvent>
#include <QTimer>

void TForm1::CreateCpuThread() {
    cpuThread.reset();
    cpuSpeedMHz = std::make_unique<std::atomic<std::int32_t>>(0);
    cpuLoadPercent = std::make_unique<std::atomic<std::int32_t>>(0);
    if (!services.hostCounters)
        return;
    cpuThread = std::make_unique<CPUThread>(CPUSpeedLoadPanel, CPULoadGraph, TrayIcon1,
                                            cpuSpeedMHz.get(), cpuLoadPercent.get(),
                                            *services.hostCounters, *services.messages);

    // The window becomes the program's main window when construction has ended, that is when
    // the event loop first runs; it counts as visible from its first showing on, also while it
    // sits in the tray.
    CPUThread* thread = cpuThread.get();
    QTimer::singleShot(0, thread,
                       [this, thread] { thread->SetMainWindowState(true, windowShown); });
    installEventFilter(new EventHook(thread, [this, thread](QObject* watched, QEvent* event) {
        if (watched == this && event->type() == QEvent::Show)
            thread->SetMainWindowState(true, true);
        return false;
    }));
}
