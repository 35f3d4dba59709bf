#pragma once

#include <QIcon>
#include <QList>

// The program's own pictures, built into it: the application icon and the tray icon's frames.
// Frame 0 is the normal icon; the other frames alternate with it while the icon blinks.
QIcon ApplicationIcon();
QList<QIcon> TrayIconFrames();
