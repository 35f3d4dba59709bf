#pragma once

#include <QString>

// The program's small dialogs use the main window's face: Verdana at 8 points.
inline const QString kDialogStyleSheet =
    QStringLiteral("* { font-family: \"Verdana\", sans-serif; font-size: 11px; }");
