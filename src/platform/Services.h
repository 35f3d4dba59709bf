#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <memory>

class UnitLink;

// Shows the program's message boxes. Tests record the texts instead of blocking.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A plain modal message with an OK button ("Error: ..." boxes, connection messages).
    virtual void ShowMessage(const QString& text) = 0;
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
    // Error report by mail; none means that no mail system is found.
    std::unique_ptr<MailTransport> mail;
};
