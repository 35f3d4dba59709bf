#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

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
};
