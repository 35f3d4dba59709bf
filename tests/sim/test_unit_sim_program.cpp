// The simulator program end to end: a small stand-in for the control centre's side of the
// unit port listens, the real tarvik-unit-sim plugs into it and is driven on its input.

#include "usb/VirtualPortProtocol.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

constexpr int kTimeoutMs = 5000;

std::string HexOf(const QByteArray& bytes) {
    return bytes.toHex(' ').toStdString();
}

class PortSide {
public:
    bool Listen(const QString& path) {
        QLocalServer::removeServer(path);
        return server.listen(path);
    }
    void Close() { server.close(); }

    // Takes the next plug-in and reads its Hello.
    std::optional<VirtualPort::Hello> AcceptUnit(int timeoutMs = kTimeoutMs) {
        if (!server.hasPendingConnections() && !server.waitForNewConnection(timeoutMs))
            return std::nullopt;
        link.reset(server.nextPendingConnection());
        link->setParent(nullptr);
        reader = VirtualPort::MessageReader();
        const std::optional<VirtualPort::Message> hello = NextMessage();
        if (!hello || hello->type != VirtualPort::MessageType::Hello)
            return std::nullopt;
        return VirtualPort::DecodeHello(hello->body);
    }

    bool NoUnitWithin(int ms) { return !server.waitForNewConnection(ms); }

    std::optional<QByteArray> Exchange(const QByteArray& frame) {
        link->write(VirtualPort::Encode(VirtualPort::MessageType::Frame, frame));
        link->flush();
        const std::optional<VirtualPort::Message> reply = NextMessage();
        if (!reply || reply->type != VirtualPort::MessageType::Reply)
            return std::nullopt;
        return reply->body;
    }

    bool UnitLeft() {
        if (link->state() == QLocalSocket::UnconnectedState)
            return true;
        return link->waitForDisconnected(kTimeoutMs);
    }

    // The control centre drops the unit, as it does when it ends.
    void DropUnit() { link->abort(); }

private:
    std::optional<VirtualPort::Message> NextMessage() {
        QElapsedTimer timer;
        timer.start();
        while (true) {
            if (std::optional<VirtualPort::Message> message = reader.Next())
                return message;
            const qint64 left = kTimeoutMs - timer.elapsed();
            if (left <= 0 || !link->waitForReadyRead(static_cast<int>(left)))
                return std::nullopt;
            reader.Append(link->readAll());
        }
    }

    QLocalServer server;
    std::unique_ptr<QLocalSocket> link;
    VirtualPort::MessageReader reader;
};

class Simulator {
public:
    Simulator(const QStringList& arguments,
              const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(UNIT_SIM_PATH), arguments);
    }
    ~Simulator() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    void Send(const char* line) {
        process.write(line);
        process.write("\n");
        // QProcess writes from its event loop, which nothing else here runs.
        process.waitForBytesWritten(kTimeoutMs);
    }

    QJsonObject Status() {
        Send("status");
        QElapsedTimer timer;
        timer.start();
        while (!process.canReadLine() && timer.elapsed() < kTimeoutMs)
            process.waitForReadyRead(100);
        const QByteArray line = process.readLine();
        EXPECT_TRUE(line.endsWith('\n')) << "status line: " << line.toStdString();
        return QJsonDocument::fromJson(line).object();
    }

    bool Quits() {
        Send("quit");
        return process.waitForFinished(kTimeoutMs) &&
               process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QProcess process;
};

QByteArray Request(std::uint8_t packet) {
    return QByteArray::fromHex("01") + char(packet) + QByteArray::fromHex("04");
}

// Started before the control centre: it keeps trying until the port exists, finds the port
// where the control centre keeps it, and marks itself simulated unless told otherwise.
TEST(UnitSimProgram, PlugsIntoTheDefaultPortOnceItExists) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    Simulator simulator({}, environment);
    ASSERT_TRUE(simulator.process.waitForStarted(kTimeoutMs));

    QThread::msleep(400);
    const QString folder = runtime.path() + QStringLiteral("/tarvik-control-centre");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    PortSide port;
    ASSERT_TRUE(port.Listen(folder + QStringLiteral("/unit-port")));

    const std::optional<VirtualPort::Hello> hello = port.AcceptUnit();
    ASSERT_TRUE(hello.has_value());
    EXPECT_EQ(hello->interfaceNumber, 0);
    EXPECT_TRUE(hello->simulated);

    EXPECT_EQ(HexOf(port.Exchange(Request(0x85)).value_or("none")), "01 85 04");
    const QJsonObject status = simulator.Status();
    EXPECT_EQ(status.value("state").toInt(), 5);
    EXPECT_EQ(status.value("shutdownCommands").toInt(), 1);
    EXPECT_EQ(status.value("framesReceived").toInt(), 1);
    EXPECT_TRUE(status.value("attached").toBool());

    EXPECT_TRUE(simulator.Quits());
    EXPECT_TRUE(port.UnitLeft());
}

TEST(UnitSimProgram, AnswersUnplugsReplugsAndRecords) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString portPath = dir.filePath(QStringLiteral("port"));
    const QString recordPath = dir.filePath(QStringLiteral("frames.txt"));
    const QString scriptPath = dir.filePath(QStringLiteral("drill.txt"));
    {
        QFile script(scriptPath);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("# set up the drill\ntemp 2 23.5\nwait 0.2\nhours 77\n");
    }
    PortSide port;
    ASSERT_TRUE(port.Listen(portPath));
    Simulator simulator({"--port", portPath, "--record", recordPath, "--script", scriptPath,
                         "--interface", "2", "--as-real"});

    std::optional<VirtualPort::Hello> hello = port.AcceptUnit();
    ASSERT_TRUE(hello.has_value());
    EXPECT_EQ(hello->interfaceNumber, 2);
    EXPECT_FALSE(hello->simulated);

    const std::optional<QByteArray> status = port.Exchange(Request(1));
    ASSERT_TRUE(status.has_value());
    ASSERT_EQ(status->size(), 28);
    EXPECT_EQ(HexOf(status->left(3)), "01 01 02");
    EXPECT_EQ(status->at(3 + 2), 1) << "state";
    EXPECT_EQ(status->at(27), 4);

    const QByteArray line1 = QByteArray::fromHex("010602") + QByteArray("HELLO").leftJustified(24) +
                             QByteArray::fromHex("04");
    EXPECT_EQ(HexOf(port.Exchange(line1).value_or("none")), HexOf(line1));

    // Unplugged, it stays away until plugged in again.
    simulator.Send("unplug");
    EXPECT_TRUE(port.UnitLeft());
    EXPECT_TRUE(port.NoUnitWithin(500));
    EXPECT_FALSE(simulator.Status().value("attached").toBool());
    simulator.Send("plug");
    ASSERT_TRUE(port.AcceptUnit().has_value());

    // Dropped by the control centre, it comes back by itself.
    port.DropUnit();
    ASSERT_TRUE(port.AcceptUnit().has_value());

    // So it does after the control centre has gone and started again.
    port.DropUnit();
    port.Close();
    QThread::msleep(300);
    ASSERT_TRUE(port.Listen(portPath));
    hello = port.AcceptUnit();
    ASSERT_TRUE(hello.has_value());
    EXPECT_EQ(hello->interfaceNumber, 2);

    // A malformed command is reported and changes nothing.
    simulator.Send("temp 2 99.99");
    const QJsonObject report = simulator.Status();
    EXPECT_TRUE(simulator.process.readAllStandardError().contains(
        "standard input:4: temperature must be degrees Celsius with at most one decimal"));
    EXPECT_TRUE(report.value("attached").toBool());
    EXPECT_EQ(report.value("framesReceived").toInt(), 2);
    EXPECT_EQ(report.value("line1").toString(), QStringLiteral("HELLO").leftJustified(16));
    EXPECT_EQ(report.value("temps").toArray().at(1).toInt(), 235);
    EXPECT_EQ(report.value("hours").toInt(), 77);
    EXPECT_TRUE(simulator.Quits());

    QFile record(recordPath);
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = record.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3) << "two lines and the end";
    EXPECT_TRUE(lines[2].isEmpty());
    qint64 previousMs = -1;
    const QByteArray expectedFrames[] = {Request(1).toHex(), line1.toHex()};
    for (int i = 0; i < 2; ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        ASSERT_EQ(fields.size(), 2) << lines[i].toStdString();
        bool isNumber = false;
        const qint64 ms = fields[0].toLongLong(&isNumber);
        EXPECT_TRUE(isNumber);
        EXPECT_GE(ms, previousMs);
        previousMs = ms;
        EXPECT_EQ(fields[1].toStdString(), expectedFrames[i].toStdString());
    }
}

TEST(UnitSimProgram, RefusesABadInterfaceNumber) {
    Simulator simulator({"--port", "/nonexistent/port", "--interface", "256"});
    ASSERT_TRUE(simulator.process.waitForFinished(kTimeoutMs));
    EXPECT_EQ(simulator.process.exitCode(), 2);
    EXPECT_TRUE(simulator.process.readAllStandardError().contains("--interface"));
}

} // namespace
