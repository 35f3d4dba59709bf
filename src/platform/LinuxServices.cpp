#include "platform/LinuxServices.h"

#include "hostmetrics/LinuxHostCounters.h"
#include "mail/SendmailTransport.h"
#include "platform/ErrorText.h"
#include "platform/HelpPages.h"
#include "usb/UsbStack.h"
#include "usb/VirtualUnitPort.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QThread>
#include <QUrl>

void DesktopMessageSink::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok);
    box.exec();
}

bool DesktopMessageSink::AskOkCancel(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
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

// ---- alarms and log viewing ---------------------------------------------------------------------

QStringList ExternalSoundPlayer::DefaultPrograms() {
    return {QStringLiteral("pw-play"), QStringLiteral("paplay"), QStringLiteral("aplay")};
}

ExternalSoundPlayer::ExternalSoundPlayer(QStringList programs, int boundMs,
                                         std::function<void()> beep)
    : programs(std::move(programs)), boundMs(boundMs), beep(std::move(beep)) {}

void ExternalSoundPlayer::DefaultBeep() {
    QApplication::beep();
}

// A program that is installed may still fail (pw-play without a running PipeWire, for one), so
// the next one gets its turn. One that hangs is stopped at the bound and not followed by
// another: it may well have been playing.
void ExternalSoundPlayer::PlayToEnd(const QString& wavFile) {
    if (QFileInfo(wavFile).isFile()) {
        for (const QString& program : programs) {
            switch (PlayWith(program, wavFile)) {
            case Outcome::Played:
                return;
            case Outcome::TimedOut:
                beep();
                return;
            case Outcome::Unavailable:
                break;
            }
        }
    }
    beep();
}

ExternalSoundPlayer::Outcome ExternalSoundPlayer::PlayWith(const QString& program,
                                                           const QString& wavFile) const {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return Outcome::Unavailable;
    QProcess player;
    player.setStandardInputFile(QProcess::nullDevice());
    player.setStandardOutputFile(QProcess::nullDevice());
    player.setStandardErrorFile(QProcess::nullDevice());
    player.start(path, {wavFile});
    if (!player.waitForStarted(boundMs))
        return Outcome::Unavailable;
    if (!player.waitForFinished(boundMs)) {
        player.kill();
        player.waitForFinished(boundMs);
        return Outcome::TimedOut;
    }
    const bool played = player.exitStatus() == QProcess::NormalExit && player.exitCode() == 0;
    return played ? Outcome::Played : Outcome::Unavailable;
}

void LogindShutdownRequester::RequestPowerOff() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    // false: no interactive authentication; a refusal is simply not acted upon.
    call << false;
    QDBusConnection::systemBus().send(call);
}

bool DesktopProcessLauncher::RunAndWait(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return false;
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    return true;
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
    services.sound = std::make_unique<ExternalSoundPlayer>();
    services.shutdown = std::make_unique<LogindShutdownRequester>();
    services.processes = std::make_unique<DesktopProcessLauncher>();
    services.helpViewer = std::make_unique<DesktopHelpViewer>();
    services.systemTray = std::make_unique<DesktopSystemTray>();
    services.hostCounters = std::make_unique<LinuxHostCounters>();
    services.mail = std::make_unique<SendmailTransport>();
    return services;
}
