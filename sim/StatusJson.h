#pragma once

#include <QByteArray>
#include <QJsonObject>

class UnitModel;

// The simulator's status line, one JSON object:
//   state             the state code as reported
//   temps             five readings in tenths of a degree Celsius, -990 for an absent sensor
//   fans              {"front": rpm, "rear": rpm}
//   line1, line2      the first 16 bytes of the last packets 6 and 7 received, each byte as its
//                     Latin-1 character; empty before the first one arrives
//   fanSettings       {"words": the ten words of the fan-and-boot block, "bytes": its four
//                     single bytes}; word 3, the boot temperature, is signed, the others not
//   unitSettings      the 24 bytes of the unit-settings block, lowercase hex without blanks
//   hours             the operating hours
//   shutdownCommands  how many shutdown commands arrived
//   framesReceived    how many frames arrived
//   attached          whether the unit is plugged into the control centre
QJsonObject StatusObject(const UnitModel& model, bool attached);
// The object as one compact line, with its line feed.
QByteArray StatusLine(const UnitModel& model, bool attached);
