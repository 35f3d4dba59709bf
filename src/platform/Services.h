#pragma once

#include <QDateTime>
#include <QString>

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

// Everything the controller needs from the operating system, handed in at construction.
struct Services {
    std::unique_ptr<MessageSink> messages;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<FileLocations> files;
    std::unique_ptr<UnitLink> unitLink;
};
