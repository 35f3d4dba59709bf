#include "platform/LinuxServices.h"

#include "mail/SendmailTransport.h"
#include "usb/UsbStack.h"
#include "usb/VirtualUnitPort.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QThread>


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
    services.unitLink = std::make_unique<UsbStack>(VirtualUnitPort::DefaultSocketPath(),
                                                  UsbStack::DefaultInstallerPath());
    services.mail = std::make_unique<SendmailTransport>();
    return services;
}
