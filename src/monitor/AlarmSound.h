#pragma once

#include <QString>
#include <QStringList>

// The alarm tone's file name. A user's own tone in the data folder takes precedence over the
// one shipped with the program.
inline const QString kAlarmSoundName = QStringLiteral("Alarm.wav");

// Where the tone is looked for, in order: the data folder (ends with '/'), beside the program,
// the installed share folder next to the program's prefix, then the system's data folders.
QStringList AlarmSoundCandidates(const QString& dataDirectory, const QString& programDirectory);

// The first candidate that is a file; the first candidate when none is, so that the player can
// fall back to the system beep.
QString FindAlarmSound(const QStringList& candidates);

// The choices of the warning-handling list, by item index. Any other index, -1 for a text the
// user typed, does nothing.
enum WarningChoiceIndex {
    kWarnWithSound = 0,
    kWarnWithBlinkingTray = 1,
    kWarnByOpeningWindow = 2,
    kWarnNot = 3,
};
