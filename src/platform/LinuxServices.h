#pragma once

#include "platform/Services.h"

// Message boxes on the desktop, modal; timers keep ticking in their nested loop.
class DesktopMessageSink : public MessageSink {
public:
    void ShowMessage(const QString& text) override;
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
