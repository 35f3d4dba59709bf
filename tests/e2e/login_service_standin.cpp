// A stand-in for the system's login service on a private system bus: it owns
// org.freedesktop.login1 and records every PowerOff call instead of powering anything off.
//
//   login-service-standin CALLS_FILE
//
// Each call appends one line to CALLS_FILE: "PowerOff", the interactive flag ("true" or
// "false") and the steady clock in milliseconds (QElapsedTimer's reference, the same for
// every process on the machine). Once the name is owned, "ready" goes to standard output.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>

#include <cstdio>

namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kObjectPath = "/org/freedesktop/login1";

// The machine's steady clock, the same for every process.
qint64 SteadyNowMs() {
    QElapsedTimer now;
    now.start();
    return now.msecsSinceReference();
}

void Fail(const QString& text) {
    std::fprintf(stderr, "login-service-standin: %s\n", qPrintable(text));
}

} // namespace

class LoginManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    explicit LoginManager(const QString& callsFile) : calls(callsFile) {}

    bool Open() { return calls.open(QIODevice::WriteOnly | QIODevice::Append); }

public slots:
    Q_SCRIPTABLE void PowerOff(bool interactive) {
        const QByteArray line =
            QByteArrayLiteral("PowerOff ") +
            (interactive ? QByteArrayLiteral("true") : QByteArrayLiteral("false")) + ' ' +
            QByteArray::number(SteadyNowMs()) + '\n';
        calls.write(line);
        calls.flush();
    }

private:
    QFile calls;
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        Fail(QStringLiteral("usage: login-service-standin CALLS_FILE"));
        return 2;
    }
    LoginManager manager(QString::fromLocal8Bit(argv[1]));
    if (!manager.Open()) {
        Fail(QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(argv[1])));
        return 1;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        Fail(QStringLiteral("no system bus: %1").arg(bus.lastError().message()));
        return 1;
    }
    if (!bus.registerObject(QString::fromLatin1(kObjectPath), &manager,
                            QDBusConnection::ExportScriptableSlots)) {
        Fail(QStringLiteral("cannot register %1").arg(QString::fromLatin1(kObjectPath)));
        return 1;
    }
    if (!bus.registerService(QString::fromLatin1(kService))) {
        Fail(QStringLiteral("cannot own %1: %2")
                 .arg(QString::fromLatin1(kService), bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "login_service_standin.moc"
