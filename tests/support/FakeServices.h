#pragma once

#include "platform/Services.h"
#include "protocol/Frame.h"
#include "usb/UnitLink.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <stdexcept>
#include <vector>

// Records message boxes instead of showing them.
class RecordingMessageSink : public MessageSink {
public:
    void ShowMessage(const QString& text) override { shown.append(text); }
    bool AskOkCancel(const QString& text, const QString& caption) override {
        asked.append(caption + QStringLiteral(": ") + text);
        return answerOk;
    }
    QStringList shown;
    // Questions as "caption: text", and the answer every question gets.
    QStringList asked;
    bool answerOk = true;
};

// Records the help pages asked for instead of opening them; throws when told to.
class RecordingHelpViewer : public HelpViewer {
public:
    void ShowHelp(int contextNumber) override {
        if (failWith)
            throw std::runtime_error(failWith);
        shown.push_back(contextNumber);
    }
    std::vector<int> shown;
    const char* failWith = nullptr;
};

class FakeSystemTray : public SystemTray {
public:
    bool Available() const override { return available; }
    bool available = true;
};

// Time stands still unless a test moves it; pauses are recorded, not waited.
class FakeClock : public Clock {
public:
    QDateTime Now() const override { return now; }
    void Pause(int milliseconds) override { pauses.push_back(milliseconds); }
    void ProcessPendingEvents() override { ++eventPasses; }

    QDateTime now = QDateTime(QDate(2026, 12, 11), QTime(12, 0));
    std::vector<int> pauses;
    int eventPasses = 0;
};

class TempFileLocations : public FileLocations {
public:
    QString DataDirectory() const override {
        if (failWith)
            throw std::runtime_error(failWith);
        return dir.path() + QLatin1Char('/');
    }
    QTemporaryDir dir;
    const char* failWith = nullptr;
};

// --- alarms and log viewing ----------------------------------------------------------------------

// Records the files it is asked to play; plays nothing.
class RecordingSoundPlayer : public SoundPlayer {
public:
    void PlayToEnd(const QString& wavFile) override { played.append(wavFile); }
    QStringList played;
};

// Counts power-off requests; a test may look around at the moment of the request.
class RecordingShutdownRequester : public ShutdownRequester {
public:
    void RequestPowerOff() override {
        ++requests;
        if (onRequest)
            onRequest();
    }
    int requests = 0;
    std::function<void()> onRequest;
};

// Records the programs it is asked to run; runs nothing. While "running", a test may act as
// the rest of the program would (timers ticking, the window closing).
class RecordingProcessLauncher : public ProcessLauncher {
public:
    struct Run {
        QString program;
        QStringList arguments;
    };
    bool RunAndWait(const QString& program, const QStringList& arguments) override {
        runs.push_back({program, arguments});
        if (whileRunning)
            whileRunning();
        return startable;
    }
    std::vector<Run> runs;
    std::function<void()> whileRunning;
    bool startable = true;
};

// --- error report by mail ---------------------------------------------------------------------

// A mail system that answers from a script and records every call in order.
class FakeMailTransport : public MailTransport {
public:
    MailSystemParts Locate() override {
        calls.append(QStringLiteral("Locate"));
        return parts;
    }
    std::uint32_t Logon(bool mayAskUser, std::uint32_t& session) override {
        calls.append(mayAskUser ? QStringLiteral("Logon asking") : QStringLiteral("Logon"));
        const std::uint32_t result = mayAskUser ? askingLogonResult : silentLogonResult;
        if (result == 0)
            session = sessionGiven;
        return result;
    }
    std::uint32_t SendMail(std::uint32_t session, const MailMessage& message) override {
        calls.append(QStringLiteral("SendMail %1").arg(session));
        sent.push_back(message);
        if (whileSending)
            whileSending();
        return sendResult;
    }
    void Logoff(std::uint32_t session) override {
        calls.append(QStringLiteral("Logoff %1").arg(session));
    }

    MailSystemParts parts{true, true, true, true};
    std::uint32_t silentLogonResult = 0;
    std::uint32_t askingLogonResult = 0;
    std::uint32_t sessionGiven = 7;
    std::uint32_t sendResult = 0;
    // Runs while the mail system holds the message, as the rest of the program would go on.
    std::function<void()> whileSending;
    QStringList calls;
    std::vector<MailMessage> sent;
};

// The result of one transfer as the unit link reports it.
struct LinkReply {
    std::uint32_t result = 0; // count of bytes read, 0 for a failed write, or a status
    QByteArray bytes;         // what lands in the reply buffer

    static LinkReply Data(std::uint8_t packet, const QByteArray& payload24);
    static LinkReply Bytes(const QByteArray& bytes) {
        return {static_cast<std::uint32_t>(bytes.size()), bytes};
    }
    static LinkReply Failure(std::uint32_t status) { return {status, {}}; }
};

// A unit link that records every frame written and answers through a responder.
class ScriptedUnitLink : public UnitLink {
public:
    using Responder = std::function<LinkReply(const QByteArray& frame)>;

    bool EnsureDriverInstalled() override {
        ++driverChecks;
        return true;
    }
    bool OpenUsbSession() override {
        if (openThrows)
            throw std::runtime_error("layer start failed");
        return unitPresent;
    }
    std::uint32_t TransferFrame(const std::uint8_t* frame, std::uint8_t frameLength,
                                std::uint8_t* reply, std::uint32_t replyLength) override;
    void ResetUsbPipe(std::uint8_t pipe) override { pipeResets.push_back(pipe); }

    // Frames written, each cut to the length it was written with.
    std::vector<QByteArray> written;
    std::vector<std::uint32_t> readSizes;
    std::vector<std::uint8_t> pipeResets;
    Responder responder = [](const QByteArray&) { return LinkReply::Failure(0); };
    bool unitPresent = true;
    bool openThrows = false;
    int driverChecks = 0;

    bool IsSimulatedUnit() const override { return simulated; }
    bool simulated = false;
};

// Answers like a unit: a request gets a data reply from the table, a data frame a short reply.
struct FakeUnitPackets {
    QByteArray status = QByteArray(24, '\0');
    QByteArray unitSettings = QByteArray(24, '\0');
    QByteArray fanSettings = QByteArray(24, '\0');
    QByteArray line1 = QByteArray(24, ' ');
    // A unit that never reports its settings block answers packet 2 requests with a short ack.
    bool answersUnitSettings = true;

    ScriptedUnitLink::Responder Responder() const;
};

// Payload helpers for building replies byte by byte.
QByteArray PayloadWithWord(QByteArray payload, int offset, int value);
QByteArray Hex(const QByteArray& bytes);
