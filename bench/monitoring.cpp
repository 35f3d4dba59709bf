// Monitoring and logging costs: one presentation and alarm pass as a status reply runs it, and
// one error record written into logs of growing size.
#include "BenchReport.h"

#include "app/TForm1.h"
#include "log/KelvData.h"
#include "log/LogManager.h"
#include "protocol/UnitData.h"
#include "support/FakeServiceBundle.h"
#include "support/PrivateSettings.h"
#include "support/SensorSlots.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Fakes for every service: a benchmark never plays sounds, powers off or touches the user's
// settings.
Services FakeDesktop() {
    FakeServiceBundle fakes;
    fakes.link->responder = FakeUnitPackets().Responder();
    return std::move(fakes.services);
}

// A normal running unit with all five sensors fitted and inside their limits.
QByteArray StatusWithFiveSensors() {
    QByteArray payload(24, '\0');
    payload[2] = 1;
    const int tenths[] = {-412, 231, -150, 385, 402};
    for (int n = 0; n < 5; ++n)
        payload = PayloadWithWord(payload, 3 + 2 * n, tenths[n]);
    payload = PayloadWithWord(payload, 13, 1250);
    return PayloadWithWord(payload, 15, 1100);
}

void BenchPresentationPass() {
    TForm1 form(FakeDesktop());
    form.show();
    QApplication::processEvents();
    unitData.sensors = {FittedSensor(1, "Evaporator", true, -10, 0),
                        FittedSensor(2, "Ambient", false, 5, 0),
                        FittedSensor(3, "Surface microfreezer", false, 5, 0),
                        FittedSensor(4, "Compressor", true, 60, 80),
                        FittedSensor(5, "Graphic Processor", true, 70, 90)};
    const QByteArray status = StatusWithFiveSensors();

    std::vector<double> samples;
    for (int i = 0; i < 3000; ++i) {
        const auto start = Clock::now();
        form.ComDataPacket1Packet(status);
        samples.push_back(MillisecondsSince(start));
        // What the event loop does between two passes (the status bar, painting).
        if (i % 50 == 0)
            QApplication::processEvents();
    }
    PrintFigure("presentation and alarm pass, five sensors (median)", Quantile(samples, 0.5), "ms",
                "< 0.5 ms");
    PrintFigure("presentation and alarm pass, five sensors (95th percentile)",
                Quantile(samples, 0.95), "ms", "-");
    form.close();
}

KelvData SampleRecord() {
    KelvData record;
    record.timestamp = QDateTime::currentDateTime();
    record.cpuSpeed = 3400;
    record.cpuLoad = 37;
    record.sensors = unitData.sensors;
    record.rearFanRpm = 1100;
    record.frontFanRpm = 1250;
    record.displayLine1Text = QStringLiteral("Speed Load Temp");
    record.displayLine2Text = QStringLiteral("DRALMIC");
    record.displayIntervalMs = 5000;
    record.warningHandlingText = QStringLiteral("Alarm Sound");
    record.bootTemp = -33;
    record.heaterEffect = 100;
    record.operationHours = 1234;
    record.statusText = QStringLiteral("Warning");
    return record;
}

void BenchErrorRecord(const char* label, qint64 bytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Error.log"));
    const QByteArray line = LogRecordLine(SampleRecord()) + "\r\n";
    QByteArray content = LogHeaderLine() + "\r\n \r\n";
    while (content.size() < bytes)
        content += line;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        std::printf("cannot prepare %s\n", qPrintable(path));
        return;
    }
    file.close();

    RecordingMessageSink messages;
    RecordingProcessLauncher viewer;
    LogManager log(path, messages, viewer);
    std::vector<double> samples;
    for (int i = 0; i < 21; ++i) {
        const auto start = Clock::now();
        log.WriteRecord(SampleRecord());
        samples.push_back(MillisecondsSince(start));
    }
    if (!messages.shown.isEmpty())
        std::printf("log write failed: %s\n", qPrintable(messages.shown.first()));
    PrintFigure(std::string("one error record into a ") + label + " log (median)",
                Quantile(samples, 0.5), "ms", "-");
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QTemporaryDir settingsDir;
    UsePrivateSettingsStore(settingsDir);
    BenchPresentationPass();
    BenchErrorRecord("50 kB", 50'000);
    BenchErrorRecord("1 MB", 1'000'000);
    BenchErrorRecord("10 MB", 10'000'000);
    return 0;
}
