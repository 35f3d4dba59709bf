#pragma once

// The two real programs on one private desktop session: the control centre and the simulated
// unit, each with the folders of a user of its own. Tests run under xvfb-run; message boxes are
// answered with xdotool as a person would press Enter.

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <signal.h>
#include <unistd.h>

struct RecordedFrame {
    qint64 ms = 0;
    QByteArray hex;
};

class EndToEndSession {
public:
    EndToEndSession() {
        environment = QProcessEnvironment::systemEnvironment();
        const QString base = root.path();
        const QString runtime = base + QStringLiteral("/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), base + QStringLiteral("/data"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), base + QStringLiteral("/config"));
        environment.insert(QStringLiteral("HOME"), base + QStringLiteral("/home"));
        // The real desktop platform, not the offscreen one the unit tests use.
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("SESSION_MANAGER"));
        QDir().mkpath(base + QStringLiteral("/home"));
    }

    ~EndToEndSession() {
        for (QProcess* process : {&controlCentre, &unit}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    QString Path(const QString& name) const { return root.filePath(name); }
    QString DataFolder() const { return Path(QStringLiteral("data/tarvik-control-centre")); }
    QString SettingsFile() const {
        return Path(QStringLiteral("config/velmor/vexo controler.ini"));
    }

    // For the programs started after this call.
    void SetEnvironment(const QString& name, const QString& value) {
        environment.insert(name, value);
    }

    // Root writes into read-only folders regardless; the control centre started as root then
    // runs without that privilege, so that file modes hold for it as for any user.
    void ObeyFileModesAsRoot() { obeyFileModes = true; }

    bool StartControlCentre() {
        controlCentre.setProcessEnvironment(environment);
        controlCentre.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (obeyFileModes && ::geteuid() == 0)
            controlCentre.start(QStringLiteral("setpriv"),
                                {QStringLiteral("--bounding-set=-dac_override,-dac_read_search"),
                                 QStringLiteral("--"), QStringLiteral(CONTROL_CENTRE_PATH)});
        else
            controlCentre.start(QStringLiteral(CONTROL_CENTRE_PATH), {});
        return controlCentre.waitForStarted(5000);
    }

    // Ends the control centre as a crash or a power cut would: no close sequence.
    bool KillControlCentre() {
        if (controlCentre.state() != QProcess::Running)
            return false;
        ::kill(static_cast<pid_t>(controlCentre.processId()), SIGKILL);
        return controlCentre.waitForFinished(5000);
    }

    // The control centre's resident memory in kB (VmRSS); nothing when it is not running.
    std::optional<qint64> ControlCentreResidentKb() const {
        QFile status(QStringLiteral("/proc/%1/status").arg(controlCentre.processId()));
        if (controlCentre.state() != QProcess::Running || !status.open(QIODevice::ReadOnly))
            return std::nullopt;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
        return std::nullopt;
    }

    bool StartUnit(QStringList arguments = {}) {
        arguments << QStringLiteral("--record") << RecordPath();
        unit.setProcessEnvironment(environment);
        unit.start(QStringLiteral(UNIT_SIM_PATH), arguments);
        return unit.waitForStarted(5000);
    }

    // A command typed at the simulated unit.
    void TellUnit(const char* command) {
        unit.write(command);
        unit.write("\n");
        unit.waitForBytesWritten(5000);
    }

    QJsonObject UnitStatus() {
        TellUnit("status");
        QElapsedTimer timer;
        timer.start();
        while (!unit.canReadLine() && timer.elapsed() < 5000)
            unit.waitForReadyRead(100);
        return QJsonDocument::fromJson(unit.readLine()).object();
    }

    std::vector<RecordedFrame> Frames() const {
        std::vector<RecordedFrame> frames;
        QFile file(RecordPath());
        if (!file.open(QIODevice::ReadOnly))
            return frames;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const qsizetype blank = line.indexOf(' ');
            if (blank < 0)
                continue;
            frames.push_back({line.left(blank).toLongLong(), line.mid(blank + 1)});
        }
        return frames;
    }

    // Polls the unit's record until the condition holds.
    bool WaitForFrames(const std::function<bool(const std::vector<RecordedFrame>&)>& condition,
                       int timeoutMs) const {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (condition(Frames()))
                return true;
            QThread::msleep(50);
        }
        return condition(Frames());
    }

    // The unit state text each record of a log ends with, oldest first.
    QStringList LogStatuses(const QString& logName) const {
        QStringList statuses;
        QFile file(DataFolder() + QLatin1Char('/') + logName);
        if (!file.open(QIODevice::ReadOnly))
            return statuses;
        const QList<QByteArray> lines = file.readAll().split('\n');
        // The header and the line of one blank come first.
        for (qsizetype i = 2; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].split('\t');
            if (fields.size() >= 38)
                statuses.append(QString::fromUtf8(fields[37]));
        }
        return statuses;
    }

    // The colours of the main window's overall status panel as the screen shows it now. The
    // panel's place in the window is fixed by the window's design.
    QStringList StatusPanelColours() {
        const QByteArray search =
            RunXdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--name"), QStringLiteral("^Tarvik II Control Centre")});
        const QByteArray id = search.trimmed().split('\n').value(0);
        if (id.isEmpty())
            return {};
        const QByteArray geometry =
            RunXdotool({QStringLiteral("getwindowgeometry"), QString::fromLatin1(id)});
        const qsizetype at = geometry.indexOf("Position: ");
        if (at < 0)
            return {};
        const QList<QByteArray> position =
            geometry.mid(at + 10, geometry.indexOf(' ', at + 10) - at - 10).split(',');
        if (position.size() != 2)
            return {};
        const int x = position[0].toInt() + 58;
        const int y = position[1].toInt() + 72;
        QProcess import;
        import.setProcessEnvironment(environment);
        import.start(QStringLiteral("import"),
                     {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
                      QStringLiteral("186x20+%1+%2").arg(x).arg(y), QStringLiteral("txt:-")});
        import.waitForFinished(10000);
        QStringList colours;
        for (const QByteArray& line : import.readAllStandardOutput().split('\n')) {
            const qsizetype hash = line.indexOf('#');
            const QString colour = QString::fromLatin1(line.mid(hash, 7));
            if (hash >= 0 && !colours.contains(colour))
                colours.append(colour);
        }
        return colours;
    }

    // Presses Enter on the visible message box of the control centre.
    bool AnswerMessageBox(int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            const QByteArray windows =
                RunXdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                            QStringLiteral("--name"), QStringLiteral("^Tarvik II Control Centre")});
            const QList<QByteArray> ids = windows.trimmed().split('\n');
            if (!windows.trimmed().isEmpty()) {
                for (const QByteArray& id : ids)
                    RunXdotool({QStringLiteral("key"), QStringLiteral("--window"),
                                QString::fromLatin1(id), QStringLiteral("Return")});
                return true;
            }
            QThread::msleep(100);
        }
        return false;
    }

    // The message boxes of the control centre now on screen (dialog windows; the main window
    // carries the same title).
    std::vector<QByteArray> OpenMessageBoxes() {
        std::vector<QByteArray> boxes;
        const QByteArray windows =
            RunTool(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), QStringLiteral("^Tarvik II Control Centre")});
        for (const QByteArray& id : windows.trimmed().split('\n')) {
            if (id.isEmpty())
                continue;
            const QByteArray type =
                RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::fromLatin1(id),
                                                  QStringLiteral("_NET_WM_WINDOW_TYPE")});
            if (type.contains("_NET_WM_WINDOW_TYPE_DIALOG"))
                boxes.push_back(id);
        }
        return boxes;
    }

    // Presses Enter on every message box that came up since the last call and returns how
    // many those were; messageBoxesAnswered counts them all.
    int AnswerNewMessageBoxes() {
        int answered = 0;
        std::set<QByteArray> open;
        for (const QByteArray& id : OpenMessageBoxes()) {
            open.insert(id);
            if (!boxesBeingAnswered.contains(id))
                ++answered;
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--window"),
                                                QString::fromLatin1(id), QStringLiteral("Return")});
        }
        boxesBeingAnswered = std::move(open);
        messageBoxesAnswered += answered;
        return answered;
    }

    int messageBoxesAnswered = 0;

    // Ends the control centre the way the desktop does at logout.
    std::optional<int> TerminateControlCentre(int timeoutMs) {
        controlCentre.terminate();
        return ExitCode(controlCentre, timeoutMs);
    }

    static std::optional<int> ExitCode(QProcess& process, int timeoutMs) {
        if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
            return std::nullopt;
        return process.exitCode();
    }

    QProcess controlCentre;
    QProcess unit;

private:
    QString RecordPath() const { return Path(QStringLiteral("frames.txt")); }

    QByteArray RunXdotool(const QStringList& arguments) {
        return RunTool(QStringLiteral("xdotool"), arguments);
    }

    QByteArray RunTool(const QString& program, const QStringList& arguments) {
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(program, arguments);
        tool.waitForFinished(5000);
        return tool.readAllStandardOutput();
    }

    QTemporaryDir root;
    QProcessEnvironment environment;
    bool obeyFileModes = false;
    // Boxes already answered that may still be on screen for a moment.
    std::set<QByteArray> boxesBeingAnswered;
};

inline QByteArray RequestHex(int packet) {
    return QByteArray("01") + QByteArray::number(packet, 16).rightJustified(2, '0') + "04";
}

inline QByteArray BlankLineHex(int packet) {
    return RequestHex(packet).left(4) + "02" + QByteArray(24, ' ').toHex() + "04";
}

inline std::vector<qint64> StatusRequestTimes(const std::vector<RecordedFrame>& frames) {
    std::vector<qint64> times;
    for (const RecordedFrame& frame : frames) {
        if (frame.hex == RequestHex(1))
            times.push_back(frame.ms);
    }
    return times;
}

inline std::size_t CountStatusRequests(const std::vector<RecordedFrame>& frames) {
    return StatusRequestTimes(frames).size();
}

inline std::vector<QByteArray> HexOf(const std::vector<RecordedFrame>& frames) {
    std::vector<QByteArray> hex;
    for (const RecordedFrame& frame : frames)
        hex.push_back(frame.hex);
    return hex;
}

inline std::string Listing(const std::vector<RecordedFrame>& frames) {
    std::string text;
    for (const RecordedFrame& frame : frames)
        text += std::to_string(frame.ms) + " " + frame.hex.toStdString() + "\n";
    return text;
}
