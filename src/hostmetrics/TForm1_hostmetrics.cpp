#include "app/TForm1.h"

#include "hostmetrics/CPUThread.h"

void TForm1::CreateCpuThread() {
    cpuThread.reset();
    cpuSpeedMHz = std::make_unique<std::atomic<std::int32_t>>(0);
    cpuLoadPercent = std::make_unique<std::atomic<std::int32_t>>(0);
}
