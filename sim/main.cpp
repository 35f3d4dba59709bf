// tarvik-unit-sim: a simulated cooling unit that plugs into a running control centre.

#include "sim/PortClient.h"
#include "sim/SimCommands.h"
#include "sim/StatusJson.h"
#include "sim/UnitModel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

constexpr int kTickMs = 100;

void PrintError(const QString& text) {
    std::fprintf(stderr, "tarvik-unit-sim: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Commands of one origin, run in order; a `wait` holds back the rest of its own origin only.
struct CommandSource {
    QString name;
    QStringList lines;
    int lineNumber = 0;
    bool waiting = false;
};

class Simulator : public QObject, public SimSession {
public:
    Simulator(const QString& portPath, const VirtualPort::Hello& hello) : port(portPath, hello) {
        clock.start();
        connect(&tick, &QTimer::timeout, this, [this] { SyncModel(); });
        tick.start(kTickMs);
        connect(&port, &PortClient::frameReceived, this,
                [this](const QByteArray& frame) { ReceiveFrame(frame); });
    }

    bool OpenRecord(const QString& path) {
        record.setFileName(path);
        if (record.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return true;
        PrintError(QStringLiteral("cannot open %1: %2").arg(path, record.errorString()));
        return false;
    }

    bool LoadScript(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            PrintError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
            return false;
        }
        script.name = path;
        script.lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        return true;
    }

    void Start() {
        port.Plug();
        RunSource(script);
        input.name = QStringLiteral("standard input");
        stdinNotifier = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        connect(stdinNotifier.get(), &QSocketNotifier::activated, this, [this] { ReadInput(); });
    }

    void Plug() override { port.Plug(); }
    void Unplug() override { port.Unplug(); }

    void PrintStatus() override {
        SyncModel();
        const QByteArray line = StatusLine(model, port.Attached());
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
        // Whoever drives the simulator waits for this line, also through a pipe or a file.
        std::fflush(stdout);
    }

    void Wait(int ms) override {
        CommandSource* source = current;
        source->waiting = true;
        QTimer::singleShot(ms, this, [this, source] {
            source->waiting = false;
            RunSource(*source);
        });
    }

    void Quit() override {
        quitting = true;
        port.Unplug();
        QCoreApplication::exit(0);
    }

private:
    // Brings the model up to the wall clock before anything looks at it.
    void SyncModel() {
        const qint64 now = clock.elapsed();
        model.Advance(now - modelTime);
        modelTime = now;
    }

    void ReceiveFrame(const QByteArray& frame) {
        SyncModel();
        if (record.isOpen()) {
            const QByteArray line =
                QByteArray::number(clock.elapsed()) + ' ' + frame.toHex() + '\n';
            record.write(line);
        }
        if (const std::optional<QByteArray> reply = model.HandleFrame(frame))
            port.SendReply(*reply);
    }

    void RunSource(CommandSource& source) {
        while (!quitting && !source.waiting && !source.lines.isEmpty()) {
            const QString line = source.lines.takeFirst();
            ++source.lineNumber;
            const ParsedCommand parsed = ParseCommand(line);
            if (!parsed.error.isEmpty()) {
                PrintError(QStringLiteral("%1:%2: %3")
                               .arg(source.name)
                               .arg(source.lineNumber)
                               .arg(parsed.error));
                continue;
            }
            if (!parsed.command)
                continue;
            SyncModel();
            current = &source;
            ApplyCommand(*parsed.command, model, *this);
        }
    }

    void ReadInput() {
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            // End of input ends the commands, not the unit: it stays plugged in until `quit`
            // or a signal, so it can run in the background with nothing on its input.
            stdinNotifier->setEnabled(false);
            if (!pendingInput.isEmpty())
                input.lines.append(QString::fromUtf8(pendingInput));
            pendingInput.clear();
        } else {
            pendingInput.append(buffer, count);
            qsizetype end;
            while ((end = pendingInput.indexOf('\n')) >= 0) {
                input.lines.append(QString::fromUtf8(pendingInput.left(end)));
                pendingInput.remove(0, end + 1);
            }
        }
        RunSource(input);
    }

    UnitModel model;
    PortClient port;
    QElapsedTimer clock;
    qint64 modelTime = 0;
    QTimer tick;
    QFile record;
    CommandSource script;
    CommandSource input;
    CommandSource* current = nullptr;
    QByteArray pendingInput;
    std::unique_ptr<QSocketNotifier> stdinNotifier;
    bool quitting = false;
};

} // namespace

int main(int argc, char* argv[]) {
    // A control centre that goes away mid-write must not take the simulator with it.
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvik-unit-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated cooling unit that plugs into the control centre."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("The control centre's unit port."),
                                        QStringLiteral("PATH"), PortClient::DefaultPath());
    const QCommandLineOption scriptOption(QStringLiteral("script"),
                                          QStringLiteral("Run the commands of FILE first."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption recordOption(QStringLiteral("record"),
                                          QStringLiteral("Append every frame received to FILE."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption interfaceOption(
        QStringLiteral("interface"), QStringLiteral("Number of the unit's first interface."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption realOption(
        QStringLiteral("as-real"),
        QStringLiteral("Plug in without the simulated mark, as a real unit would."));
    parser.addOptions({portOption, scriptOption, recordOption, interfaceOption, realOption});
    if (!parser.parse(QCoreApplication::arguments())) {
        PrintError(parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty()) {
        PrintError(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
        return 2;
    }

    bool numberOk = false;
    const uint interfaceNumber = parser.value(interfaceOption).toUInt(&numberOk, 10);
    if (!numberOk || interfaceNumber > 255) {
        PrintError(QStringLiteral("--interface takes a number from 0 to 255"));
        return 2;
    }

    VirtualPort::Hello hello;
    hello.interfaceNumber = static_cast<std::uint8_t>(interfaceNumber);
    hello.simulated = !parser.isSet(realOption);

    Simulator simulator(parser.value(portOption), hello);
    if (parser.isSet(recordOption) && !simulator.OpenRecord(parser.value(recordOption)))
        return 1;
    if (parser.isSet(scriptOption) && !simulator.LoadScript(parser.value(scriptOption)))
        return 1;
    // Commands run inside the event loop, so that a `quit` among them ends it.
    QTimer::singleShot(0, &simulator, [&simulator] { simulator.Start(); });
    return QCoreApplication::exec();
}
