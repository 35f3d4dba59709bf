#include "platform/LinuxServices.h"

#include "hostmetrics/LinuxHostCounters.h"
#include "platform/ErrorText.h"
#include "platform/HelpPages.h"
#include "usb/UsbStack.h"
#include "usb/VirtualUnitPort.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QThread>
#include <QUrl>


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

void DesktopHelpViewer::ShowHelp(int contextNumber) {
    const QString page = FindHelpPage(
        contextNumber,
        HelpFolders(QCoreApplication::applicationDirPath(),
                    QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)));
    if (page.isEmpty())
        throw ProgramError(
            QStringLiteral("help page %1 not found").arg(HelpPageFileName(contextNumber)));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        throw ProgramError(QStringLiteral("no program to show %1").arg(page));
}

bool DesktopSystemTray::Available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

Services MakeDesktopServices() {
    Services services;
    services.messages = std::make_unique<DesktopMessageSink>();
    services.clock = std::make_unique<SystemClock>();
    services.files = std::make_unique<XdgFileLocations>();
    services.unitLink = std::make_unique<UsbStack>(VirtualUnitPort::DefaultSocketPath(),
                                                  UsbStack::DefaultInstallerPath());
    services.helpViewer = std::make_unique<DesktopHelpViewer>();
    services.systemTray = std::make_unique<DesktopSystemTray>();
    services.hostCounters = std::make_unique<LinuxHostCounters>();
    return services;
}
