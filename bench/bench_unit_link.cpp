// How fast the link to a (simulated) unit is: one exchange through the whole USB stack and
// the virtual port, and the time from a unit plugging in until the session is open.

#include "BenchReport.h"

#include "protocol/PacketCodec.h"
#include "protocol/PacketExchange.h"
#include "protocol/UnitData.h"
#include "sim/UnitModel.h"
#include "support/FakeServices.h"
#include "usb/UsbStack.h"
#include "usb/VirtualUnitClient.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

VirtualUnitClient::Responder ModelResponder(UnitModel& model, std::mutex& mutex) {
    return [&model, &mutex](const QByteArray& frame) {
        std::lock_guard lock(mutex);
        return model.HandleFrame(frame);
    };
}

// The stack is made afresh for every plug-in, as each run of the program does.
std::vector<double> MeasurePlugToOpenSession(const QString& portPath, int runs) {
    std::vector<double> samples;
    UnitModel model;
    std::mutex modelMutex;
    for (int run = 0; run < runs; ++run) {
        UsbStack stack(portPath, QString());
        bool opened = false;
        Clock::time_point returned;
        std::thread opener([&] {
            opened = stack.OpenUsbSession();
            returned = Clock::now();
        });
        while (!QFile::exists(portPath))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        VirtualUnitClient unit(ModelResponder(model, modelMutex));
        // The socket file appears a moment before the port listens; a real unit retries too.
        Clock::time_point plugged;
        bool connected = false;
        for (int attempt = 0; attempt < 1000 && !connected; ++attempt) {
            plugged = Clock::now();
            connected = unit.Plug(portPath);
            if (!connected)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        opener.join();
        if (connected && opened)
            samples.push_back(
                std::chrono::duration<double, std::milli>(returned - plugged).count());
    }
    return samples;
}

std::vector<double> MeasureExchanges(const QString& portPath, int exchanges) {
    UnitModel model;
    std::mutex modelMutex;
    UsbStack stack(portPath, QString());
    std::thread opener([&] { stack.OpenUsbSession(); });
    while (!QFile::exists(portPath))
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    VirtualUnitClient unit(ModelResponder(model, modelMutex));
    while (!unit.Plug(portPath))
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    opener.join();

    RecordingMessageSink messages;
    UnitData data;
    PacketExchange exchange(
        stack, messages, [](const QString&) {},
        [&data](std::uint8_t packet, const QByteArray& payload) {
            if (packet == 1)
                StoreStatus(DecodeStatus(payload), data);
        });
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(exchanges));
    for (int i = 0; i < exchanges; ++i) {
        const Clock::time_point start = Clock::now();
        exchange.Exchange(RequestFrame(1));
        samples.push_back(MillisecondsSince(start));
    }
    if (!messages.shown.isEmpty() || data.unitState == 0)
        std::fprintf(stderr, "bench_unit_link: the exchanges did not reach the unit\n");
    return samples;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString portPath = folder.filePath(QStringLiteral("port/unit-port"));

    const std::vector<double> exchanges = MeasureExchanges(portPath, 1000);
    PrintFigure("status exchange over the virtual port, median (1000)", Quantile(exchanges, 0.5),
                "ms", "< 0.2 ms");
    PrintFigure("status exchange over the virtual port, 99th percentile", Quantile(exchanges, 0.99),
                "ms", "-");

    const std::vector<double> plugs = MeasurePlugToOpenSession(portPath, 20);
    PrintFigure("unit plugged in to session open, median (" + std::to_string(plugs.size()) + ")",
                Quantile(plugs, 0.5), "ms", "< 50 ms");
    PrintFigure("unit plugged in to session open, worst", Quantile(plugs, 1.0), "ms", "-");
    return exchanges.size() == 1000 && plugs.size() == 20 ? 0 : 1;
}
