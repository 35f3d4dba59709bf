#include "platform/LinuxServices.h"

#include "usb/UnitLink.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QThread>

namespace {

// Stands in until the USB stack is part of the program: no unit can be found, which the
// start-up reports as a failed connection.
class AbsentUnitLink : public UnitLink {
public:
    bool EnsureDriverInstalled() override { return false; }
    bool OpenUsbSession() override { return false; }
    std::uint32_t TransferFrame(const std::uint8_t*, std::uint8_t, std::uint8_t*,
                                std::uint32_t) override {
        return 0;
    }
    void ResetUsbPipe(std::uint8_t) override {}
};

} // namespace

void DesktopMessageSink::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok);
    box.exec();
}

QDateTime SystemClock::Now() const {
    return QDateTime::currentDateTime();
}

void SystemClock::Pause(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void SystemClock::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

QString XdgFileLocations::DataDirectory() const {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/tarvik-control-centre")) + QLatin1Char('/');
}

Services MakeDesktopServices() {
    Services services;
    services.messages = std::make_unique<DesktopMessageSink>();
    services.clock = std::make_unique<SystemClock>();
    services.files = std::make_unique<XdgFileLocations>();
    services.unitLink = std::make_unique<AbsentUnitLink>();
    return services;
}
