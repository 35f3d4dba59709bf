#include "sim/SimCommands.h"

#include <QRegularExpression>
#include <QStringList>

#include <limits>

namespace {

using Kind = SimCommand::Kind;

// Waits longer than a day are surely a typing error.
constexpr double kMaxWaitSeconds = 86400.0;

struct Tokens {
    QStringList words;

    qsizetype Count() const { return words.size(); }
    const QString& At(qsizetype i) const { return words.at(i); }
};

ParsedCommand Ok(SimCommand command) {
    return {std::move(command), QString()};
}

ParsedCommand Fail(const QString& error) {
    return {std::nullopt, error};
}

SimCommand Make(Kind kind) {
    SimCommand command;
    command.kind = kind;
    return command;
}

// A plain decimal number; signs, blanks and other bases are refused.
std::optional<int> Unsigned(const QString& text, int max) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value > max)
        return std::nullopt;
    return value;
}

// Degrees Celsius with at most one decimal, as tenths; the unit reports them in 16 bits.
std::optional<int> Tenths(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^([+-]?)([0-9]{1,5})(?:\\.([0-9]))?$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    int tenths = match.captured(2).toInt() * 10;
    if (!match.captured(3).isEmpty())
        tenths += match.captured(3).toInt();
    if (match.captured(1) == QLatin1String("-"))
        tenths = -tenths;
    if (tenths < std::numeric_limits<std::int16_t>::min() ||
        tenths > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return tenths;
}

std::optional<int> Milliseconds(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    const double seconds = text.toDouble();
    if (seconds > kMaxWaitSeconds)
        return std::nullopt;
    return static_cast<int>(seconds * 1000.0 + 0.5);
}

ParsedCommand NoArguments(const Tokens& tokens, Kind kind) {
    if (tokens.Count() != 1)
        return Fail(QStringLiteral("%1 takes no arguments").arg(tokens.At(0)));
    return Ok(Make(kind));
}

ParsedCommand ParseSilent(const Tokens& tokens) {
    if (tokens.Count() == 2 && (tokens.At(1) == "on" || tokens.At(1) == "off")) {
        SimCommand command = Make(Kind::Silent);
        command.flag = tokens.At(1) == "on";
        return Ok(command);
    }
    return Fail(QStringLiteral("usage: silent on|off"));
}

ParsedCommand ParseState(const Tokens& tokens) {
    if (tokens.Count() != 2)
        return Fail(QStringLiteral("usage: state CODE|auto"));
    if (tokens.At(1) == "auto")
        return Ok(Make(Kind::StateAuto));
    const std::optional<int> code = Unsigned(tokens.At(1), 255);
    if (!code)
        return Fail(QStringLiteral("state code must be a number from 0 to 255, not '%1'")
                        .arg(tokens.At(1)));
    SimCommand command = Make(Kind::HoldState);
    command.value = *code;
    return Ok(command);
}

ParsedCommand ParseTemp(const Tokens& tokens) {
    if (tokens.Count() != 3)
        return Fail(QStringLiteral("usage: temp N CELSIUS|absent|auto"));
    const std::optional<int> sensor = Unsigned(tokens.At(1), kSensorCount);
    if (!sensor || *sensor < 1)
        return Fail(QStringLiteral("sensor must be 1 to 5, not '%1'").arg(tokens.At(1)));
    SimCommand command;
    command.sensor = *sensor;
    if (tokens.At(2) == "absent") {
        command.kind = Kind::TempAbsent;
    } else if (tokens.At(2) == "auto") {
        command.kind = Kind::TempAuto;
    } else {
        const std::optional<int> tenths = Tenths(tokens.At(2));
        if (!tenths)
            return Fail(QStringLiteral("temperature must be degrees Celsius with at most one "
                                       "decimal, from -3276.8 to 3276.7, not '%1'")
                            .arg(tokens.At(2)));
        command.kind = Kind::HoldTemp;
        command.value = *tenths;
    }
    return Ok(command);
}

ParsedCommand ParseFan(const Tokens& tokens) {
    if (tokens.Count() != 3 || (tokens.At(1) != "front" && tokens.At(1) != "rear"))
        return Fail(QStringLiteral("usage: fan front|rear RPM|auto"));
    SimCommand command;
    command.fan = tokens.At(1) == "front" ? UnitModel::Fan::Front : UnitModel::Fan::Rear;
    if (tokens.At(2) == "auto") {
        command.kind = Kind::FanAuto;
        return Ok(command);
    }
    const std::optional<int> rpm = Unsigned(tokens.At(2), 65535);
    if (!rpm)
        return Fail(QStringLiteral("fan speed must be a number from 0 to 65535, not '%1'")
                        .arg(tokens.At(2)));
    command.kind = Kind::HoldFan;
    command.value = *rpm;
    return Ok(command);
}

ParsedCommand ParseHours(const Tokens& tokens) {
    if (tokens.Count() != 2)
        return Fail(QStringLiteral("usage: hours N"));
    const std::optional<int> hours = Unsigned(tokens.At(1), 65535);
    if (!hours)
        return Fail(
            QStringLiteral("hours must be a number from 0 to 65535, not '%1'").arg(tokens.At(1)));
    SimCommand command = Make(Kind::Hours);
    command.value = *hours;
    return Ok(command);
}

ParsedCommand ParseLetter(const Tokens& tokens, Kind kind, const QString& allowed) {
    QStringList options;
    for (const QChar letter : allowed)
        options.append(letter);
    const QString usage = QStringLiteral("usage: %1 %2").arg(tokens.At(0), options.join('|'));
    if (tokens.Count() != 2 || tokens.At(1).size() != 1)
        return Fail(usage);
    const QChar letter = tokens.At(1).at(0).toUpper();
    if (!allowed.contains(letter))
        return Fail(usage);
    SimCommand command = Make(kind);
    command.value = letter.toLatin1();
    return Ok(command);
}

// The bytes may be split by blanks for readability: "reply 01 85 04".
ParsedCommand ParseReply(const Tokens& tokens) {
    static const QRegularExpression hex(QStringLiteral("^([0-9a-fA-F]{2})+$"));
    const QString digits = tokens.words.mid(1).join(QString());
    if (!hex.match(digits).hasMatch())
        return Fail(QStringLiteral("reply needs one or more bytes as pairs of hex digits"));
    SimCommand command = Make(Kind::Reply);
    command.bytes = QByteArray::fromHex(digits.toLatin1());
    return Ok(command);
}

ParsedCommand ParseWait(const Tokens& tokens) {
    const std::optional<int> ms = tokens.Count() == 2 ? Milliseconds(tokens.At(1)) : std::nullopt;
    if (!ms)
        return Fail(QStringLiteral("usage: wait SECONDS (0 to 86400, decimals allowed)"));
    SimCommand command = Make(Kind::Wait);
    command.value = *ms;
    return Ok(command);
}

} // namespace

ParsedCommand ParseCommand(const QString& line) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
        return {};
    const Tokens tokens{trimmed.split(blanks)};
    const QString& name = tokens.At(0);

    if (name == "plug")
        return NoArguments(tokens, Kind::Plug);
    if (name == "unplug")
        return NoArguments(tokens, Kind::Unplug);
    if (name == "boot")
        return NoArguments(tokens, Kind::Boot);
    if (name == "status")
        return NoArguments(tokens, Kind::Status);
    if (name == "quit")
        return NoArguments(tokens, Kind::Quit);
    if (name == "silent")
        return ParseSilent(tokens);
    if (name == "state")
        return ParseState(tokens);
    if (name == "temp")
        return ParseTemp(tokens);
    if (name == "fan")
        return ParseFan(tokens);
    if (name == "hours")
        return ParseHours(tokens);
    if (name == "variant")
        return ParseLetter(tokens, Kind::Variant, QStringLiteral("WEX"));
    if (name == "letter")
        return ParseLetter(tokens, Kind::Letter, QStringLiteral("CF"));
    if (name == "reply")
        return ParseReply(tokens);
    if (name == "wait")
        return ParseWait(tokens);
    return Fail(QStringLiteral("unknown command '%1'").arg(name));
}

void ApplyCommand(const SimCommand& command, UnitModel& model, SimSession& session) {
    switch (command.kind) {
    case Kind::Plug:
        session.Plug();
        break;
    case Kind::Unplug:
        session.Unplug();
        break;
    case Kind::Silent:
        model.SetSilent(command.flag);
        break;
    case Kind::HoldState:
        model.HoldState(static_cast<std::uint8_t>(command.value));
        break;
    case Kind::StateAuto:
        model.ReleaseState();
        break;
    case Kind::HoldTemp:
        model.HoldTemperature(command.sensor, static_cast<std::int16_t>(command.value));
        break;
    case Kind::TempAbsent:
        model.SetSensorAbsent(command.sensor);
        break;
    case Kind::TempAuto:
        model.ReleaseTemperature(command.sensor);
        break;
    case Kind::HoldFan:
        model.HoldFan(command.fan, static_cast<std::uint16_t>(command.value));
        break;
    case Kind::FanAuto:
        model.ReleaseFan(command.fan);
        break;
    case Kind::Hours:
        model.SetHours(static_cast<std::uint16_t>(command.value));
        break;
    case Kind::Boot:
        model.Boot();
        break;
    case Kind::Variant:
        model.SetDisplayVariant(static_cast<char>(command.value));
        break;
    case Kind::Letter:
        model.SetTemperatureLetter(static_cast<char>(command.value));
        break;
    case Kind::Reply:
        model.QueueReply(command.bytes);
        break;
    case Kind::Status:
        session.PrintStatus();
        break;
    case Kind::Wait:
        session.Wait(command.value);
        break;
    case Kind::Quit:
        session.Quit();
        break;
    }
}
