#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>

class UnitLink;

// Shows the program's message boxes. Tests record the texts instead of blocking.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A plain modal message with an OK button ("Error: ..." boxes, connection messages).
    virtual void ShowMessage(const QString& text) = 0;
    // A modal question with OK and Cancel buttons; true when the user answered OK.
    virtual bool AskOkCancel(const QString& text, const QString& caption) = 0;
};

// Wall-clock time and pauses, so that tests never wait real seconds.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime Now() const = 0;
    // Blocks the calling thread, as the unit's short settle pauses between frames require.
    virtual void Pause(int milliseconds) = 0;
    // Lets the user interface handle its pending events once.
    virtual void ProcessPendingEvents() = 0;
};

// Where the program keeps its files.
class FileLocations {
public:
    virtual ~FileLocations() = default;
    // Folder of the logs (and of a user-supplied Alarm.wav), ending with '/'.
    virtual QString DataDirectory() const = 0;
};

// --- alarms and log viewing ----------------------------------------------------------------------

// Plays a WAV file on the computer's speakers.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Returns once the sound has ended. A file that is missing or cannot be played gives the
    // system's alert sound instead; it is never an error.
    virtual void PlayToEnd(const QString& wavFile) = 0;
};

// Asks the operating system to power the computer off.
class ShutdownRequester {
public:
    virtual ~ShutdownRequester() = default;
    // An orderly power-off that does not force applications to close. Returns at once; whether
    // the system agrees is not awaited.
    virtual void RequestPowerOff() = 0;
};

// Starts outside programs.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Runs the program with the arguments (no shell) and returns when it has ended; the user
    // interface keeps handling its events meanwhile. False when it could not be started.
    virtual bool RunAndWait(const QString& program, const QStringList& arguments) = 0;
};

// --- help pages, the tray and the host's processor counters ------------------------------------

// Opens the program's help pages in the desktop's viewer.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // The page of a help context number (100, 200, ...); kHelpContents opens the contents page.
    // Throws when the page cannot be found or opened.
    virtual void ShowHelp(int contextNumber) = 0;
};
constexpr int kHelpContents = 0;

// The desktop's notification area ("tray").
class SystemTray {
public:
    virtual ~SystemTray() = default;
    virtual bool Available() const = 0;
};

// How the calling thread is scheduled, so that a measurement can run raised and go back.
struct ThreadScheduling {
    int policy = 0;
    int priority = 0;
    int nice = 0;
};

// The host's processor counters and the pauses and priorities the CPU sampler needs.
class HostCounters {
public:
    virtual ~HostCounters() = default;
    // The text of /proc/stat; empty when it cannot be read.
    virtual QByteArray ReadProcStat() = 0;
    // The processor's time-stamp counter; nothing on processors without a readable one.
    virtual std::optional<std::uint64_t> ReadTimeStampCounter() = 0;
    // The processor clock as the kernel reports it, in MHz; nothing when it reports none.
    virtual std::optional<std::int32_t> KernelClockMHz() = 0;
    // A steady clock for the span of a measurement.
    virtual std::int64_t SteadyNanoseconds() = 0;
    // Sleeps the calling thread; returns false as soon as `stop` is requested.
    virtual bool Pause(int milliseconds, std::stop_token stop) = 0;
    virtual ThreadScheduling CurrentScheduling() = 0;
    // Raises the calling thread for a timing measurement; false when the system refused.
    virtual bool RaiseScheduling() = 0;
    virtual void RestoreScheduling(const ThreadScheduling& saved) = 0;
};

// --- error report by mail --------------------------------------------------------------------

// One message for the mail hand-off: one recipient, one attached file.
struct MailMessage {
    // A plain name, or "SMTP:" followed by an Internet address.
    QString recipient;
    QString subject;
    QString body;
    // The file as the caller named it, and the name it is attached under.
    QString attachmentPath;
    QString attachmentName;
};

// Which parts of the system's mail interface were found.
struct MailSystemParts {
    bool library = false;
    bool sendMail = false;
    bool logon = false;
    bool logoff = false;
};

// The system's mail interface, used as a session: find it, log on, hand over one message, log
// off. Results are the mail result codes of mail/MailResults.h, 0 meaning success.
class MailTransport {
public:
    virtual ~MailTransport() = default;
    virtual MailSystemParts Locate() = 0;
    // mayAskUser lets the mail system ask the user to log on. A mail system that keeps sessions
    // writes the new one on success; the caller keeps it for the send and the logoff.
    virtual std::uint32_t Logon(bool mayAskUser, std::uint32_t& session) = 0;
    // Returns when the mail system has taken the message or refused it.
    virtual std::uint32_t SendMail(std::uint32_t session, const MailMessage& message) = 0;
    virtual void Logoff(std::uint32_t session) = 0;
};

// Everything the controller needs from the operating system, handed in at construction.
struct Services {
    std::unique_ptr<MessageSink> messages;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<FileLocations> files;
    std::unique_ptr<UnitLink> unitLink;
    // Alarms and log viewing.
    std::unique_ptr<SoundPlayer> sound;
    std::unique_ptr<ShutdownRequester> shutdown;
    std::unique_ptr<ProcessLauncher> processes;
    std::unique_ptr<HelpViewer> helpViewer;
    std::unique_ptr<SystemTray> systemTray;
    std::unique_ptr<HostCounters> hostCounters;
    // Error report by mail; none means that no mail system is found.
    std::unique_ptr<MailTransport> mail;
};
