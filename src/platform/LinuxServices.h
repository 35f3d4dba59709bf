#pragma once

#include "platform/Services.h"

#include <functional>

// Message boxes on the desktop, modal; timers keep ticking in their nested loop.
class DesktopMessageSink : public MessageSink {
public:
    void ShowMessage(const QString& text) override;
    bool AskOkCancel(const QString& text, const QString& caption) override;
};

class SystemClock : public Clock {
public:
    QDateTime Now() const override;
    void Pause(int milliseconds) override;
    void ProcessPendingEvents() override;
};

// $XDG_DATA_HOME/tarvik-control-centre/ (usually ~/.local/share/tarvik-control-centre/).
class XdgFileLocations : public FileLocations {
public:
    QString DataDirectory() const override;
};

// --- alarms and log viewing ----------------------------------------------------------------------

// Plays a WAV file with the first sound program that works, waiting at most a bound for it;
// when none works (or the file is missing) the system beep sounds instead.
class ExternalSoundPlayer : public SoundPlayer {
public:
    static QStringList DefaultPrograms();
    static constexpr int kDefaultBoundMs = 5000;

    explicit ExternalSoundPlayer(QStringList programs = DefaultPrograms(),
                                 int boundMs = kDefaultBoundMs,
                                 std::function<void()> beep = DefaultBeep);
    void PlayToEnd(const QString& wavFile) override;

private:
    static void DefaultBeep();
    enum class Outcome { Played, Unavailable, TimedOut };
    Outcome PlayWith(const QString& program, const QString& wavFile) const;

    QStringList programs;
    int boundMs;
    std::function<void()> beep;
};

// logind's PowerOff over the system D-Bus, without asking the user interactively.
class LogindShutdownRequester : public ShutdownRequester {
public:
    void RequestPowerOff() override;
};

// Runs a program as a child process and waits in a nested event loop, so that timers (the
// status poll, the alarms) go on while the program is open.
class DesktopProcessLauncher : public ProcessLauncher {
public:
    bool RunAndWait(const QString& program, const QStringList& arguments) override;
};

// Opens the shipped HTML help pages in the desktop's browser.
class DesktopHelpViewer : public HelpViewer {
public:
    void ShowHelp(int contextNumber) override;
};

class DesktopSystemTray : public SystemTray {
public:
    bool Available() const override;
};

// The services of a real run on this machine.
Services MakeDesktopServices();
