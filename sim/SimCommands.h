#pragma once

#include "sim/UnitModel.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// One command of the simulator, as typed on standard input or written in a script.
struct SimCommand {
    enum class Kind {
        Plug,
        Unplug,
        Silent,    // flag
        HoldState, // value: the code
        StateAuto,
        HoldTemp,   // sensor, value: tenths of a degree Celsius
        TempAbsent, // sensor
        TempAuto,   // sensor
        HoldFan,    // fan, value: rpm
        FanAuto,    // fan
        Hours,      // value
        Boot,
        Variant, // value: the letter
        Letter,  // value: the letter
        Reply,   // bytes
        Status,
        Wait, // value: milliseconds
        Quit,
    };

    Kind kind = Kind::Status;
    int sensor = 0;
    UnitModel::Fan fan = UnitModel::Fan::Front;
    int value = 0;
    bool flag = false;
    QByteArray bytes;

    bool operator==(const SimCommand&) const = default;
};

struct ParsedCommand {
    // None for a blank line or a comment (a line starting with '#'), and for an error.
    std::optional<SimCommand> command;
    // What is wrong with the line; empty when it is fine.
    QString error;
};

ParsedCommand ParseCommand(const QString& line);

// The parts of a command that act on the simulator around the model.
class SimSession {
public:
    virtual ~SimSession() = default;
    virtual void Plug() = 0;
    virtual void Unplug() = 0;
    virtual void PrintStatus() = 0;
    // Holds back the commands after this one, of the same source, for `ms` milliseconds.
    virtual void Wait(int ms) = 0;
    virtual void Quit() = 0;
};

void ApplyCommand(const SimCommand& command, UnitModel& model, SimSession& session);
