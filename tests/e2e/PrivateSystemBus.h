#pragma once

// A system bus of the test's own (dbus-daemon with a system-bus-like policy) and the stand-in
// login service on it, so that the control centre's power-off request reaches a recorder
// instead of the machine.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>

#include <optional>
#include <vector>

// The machine's steady clock, the same for every process (QElapsedTimer's reference).
inline qint64 SteadyNowMs() {
    QElapsedTimer now;
    now.start();
    return now.msecsSinceReference();
}

class PrivateSystemBus {
public:
    // Sets the bus up in `folder`; Address() is empty when it could not be started.
    explicit PrivateSystemBus(const QString& folder)
        : configPath(folder + QStringLiteral("/system-bus.conf")),
          socketPath(folder + QStringLiteral("/system_bus_socket")),
          callsPath(folder + QStringLiteral("/login1-calls.txt")) {
        if (!WriteConfig())
            return;
        daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        daemon.start(QStringLiteral(DBUS_DAEMON_PATH),
                     {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                      QStringLiteral("--print-address")});
        if (!daemon.waitForStarted(5000) || !WaitForLine(daemon, 5000))
            return;
        address = QString::fromUtf8(daemon.readLine().trimmed());
    }

    ~PrivateSystemBus() {
        for (QProcess* process : {&loginService, &daemon}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    // What DBUS_SYSTEM_BUS_ADDRESS must say for a program to use this bus.
    QString Address() const { return address; }

    // Starts the stand-in login service and waits until it owns its name.
    bool StartLoginService() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
        loginService.setProcessEnvironment(environment);
        loginService.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        loginService.start(QStringLiteral(LOGIN_SERVICE_STANDIN_PATH), {callsPath});
        return loginService.waitForStarted(5000) && WaitForLine(loginService, 10000) &&
               loginService.readLine().trimmed() == "ready";
    }

    struct PowerOffCall {
        bool interactive = true;
        // The machine's steady clock (SteadyNowMs()) when the call came.
        qint64 steadyMs = 0;
    };

    std::vector<PowerOffCall> PowerOffCalls() const {
        std::vector<PowerOffCall> calls;
        QFile file(callsPath);
        if (!file.open(QIODevice::ReadOnly))
            return calls;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() == 3 && words[0] == "PowerOff")
                calls.push_back({words[1] == "true", words[2].toLongLong()});
        }
        return calls;
    }

private:
    static bool WaitForLine(QProcess& process, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (!process.canReadLine() && timer.elapsed() < timeoutMs &&
               process.state() == QProcess::Running)
            process.waitForReadyRead(100);
        return process.canReadLine();
    }

    // Like the machine's system bus: nobody may own a name or call a method unless a rule
    // allows it; the rules are those the login service installs for itself.
    bool WriteConfig() const {
        QFile file(configPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const QByteArray config = QByteArrayLiteral(R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=@SOCKET@</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus"
           send_interface="org.freedesktop.DBus.Introspectable"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Peer"/>
    <allow own="org.freedesktop.login1"/>
    <allow send_destination="org.freedesktop.login1"
           send_interface="org.freedesktop.login1.Manager" send_member="PowerOff"/>
  </policy>
</busconfig>
)");
        QByteArray text = config;
        text.replace("@SOCKET@", QFile::encodeName(socketPath));
        return file.write(text) == text.size();
    }

    QString configPath;
    QString socketPath;
    QString callsPath;
    QString address;
    QProcess daemon;
    QProcess loginService;
};
