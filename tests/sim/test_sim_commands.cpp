#include "sim/SimCommands.h"
#include "sim/StatusJson.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using Kind = SimCommand::Kind;
using Fan = UnitModel::Fan;

SimCommand Command(Kind kind, int sensor = 0, int value = 0, Fan fan = Fan::Front,
                   bool flag = false, QByteArray bytes = {}) {
    SimCommand command;
    command.kind = kind;
    command.sensor = sensor;
    command.value = value;
    command.fan = fan;
    command.flag = flag;
    command.bytes = bytes;
    return command;
}

struct ValidCase {
    const char* name;
    const char* line;
    SimCommand expected;
};

class ValidLines : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ValidLines, ParseIntoTheirCommand) {
    const ValidCase& c = GetParam();
    const ParsedCommand parsed = ParseCommand(QString::fromUtf8(c.line));
    EXPECT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    ASSERT_TRUE(parsed.command.has_value());
    const SimCommand& got = *parsed.command;
    EXPECT_EQ(got.kind, c.expected.kind);
    EXPECT_EQ(got.sensor, c.expected.sensor);
    EXPECT_EQ(got.value, c.expected.value);
    EXPECT_EQ(got.fan, c.expected.fan);
    EXPECT_EQ(got.flag, c.expected.flag);
    EXPECT_EQ(got.bytes.toHex().toStdString(), c.expected.bytes.toHex().toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ValidLines,
    ::testing::Values(
        ValidCase{"Plug", "plug", Command(Kind::Plug)},
        ValidCase{"Unplug", "unplug", Command(Kind::Unplug)},
        ValidCase{"SilentOn", "silent on", Command(Kind::Silent, 0, 0, Fan::Front, true)},
        ValidCase{"SilentOff", "silent off", Command(Kind::Silent)},
        ValidCase{"StateCode", "state 85", Command(Kind::HoldState, 0, 85)},
        ValidCase{"StateZero", "state 0", Command(Kind::HoldState, 0, 0)},
        ValidCase{"StateHighest", "state 255", Command(Kind::HoldState, 0, 255)},
        ValidCase{"StateAuto", "state auto", Command(Kind::StateAuto)},
        ValidCase{"TempWithTenths", "temp 2 23.5", Command(Kind::HoldTemp, 2, 235)},
        ValidCase{"TempWhole", "temp 1 -40", Command(Kind::HoldTemp, 1, -400)},
        ValidCase{"TempNegativeTenths", "temp 3 -0.5", Command(Kind::HoldTemp, 3, -5)},
        ValidCase{"TempPlusSign", "temp 5 +7.1", Command(Kind::HoldTemp, 5, 71)},
        ValidCase{"TempLowest", "temp 4 -3276.8", Command(Kind::HoldTemp, 4, -32768)},
        ValidCase{"TempAbsent", "temp 5 absent", Command(Kind::TempAbsent, 5)},
        ValidCase{"TempAuto", "temp 4 auto", Command(Kind::TempAuto, 4)},
        ValidCase{"FanFront", "fan front 1250", Command(Kind::HoldFan, 0, 1250, Fan::Front)},
        ValidCase{"FanRearStopped", "fan rear 0", Command(Kind::HoldFan, 0, 0, Fan::Rear)},
        ValidCase{"FanHighest", "fan rear 65535", Command(Kind::HoldFan, 0, 65535, Fan::Rear)},
        ValidCase{"FanAuto", "fan rear auto", Command(Kind::FanAuto, 0, 0, Fan::Rear)},
        ValidCase{"Hours", "hours 3600", Command(Kind::Hours, 0, 3600)},
        ValidCase{"Boot", "boot", Command(Kind::Boot)},
        ValidCase{"VariantE", "variant E", Command(Kind::Variant, 0, 'E')},
        ValidCase{"VariantLowerCase", "variant x", Command(Kind::Variant, 0, 'X')},
        ValidCase{"LetterF", "letter F", Command(Kind::Letter, 0, 'F')},
        ValidCase{"ReplyOneWord", "reply 0185FF",
                  Command(Kind::Reply, 0, 0, Fan::Front, false, QByteArray::fromHex("0185ff"))},
        ValidCase{"ReplySpacedBytes", "reply 01 85 04",
                  Command(Kind::Reply, 0, 0, Fan::Front, false, QByteArray::fromHex("018504"))},
        ValidCase{"Status", "status", Command(Kind::Status)},
        ValidCase{"WaitFraction", "wait 0.25", Command(Kind::Wait, 0, 250)},
        ValidCase{"WaitWhole", "wait 3", Command(Kind::Wait, 0, 3000)},
        ValidCase{"Quit", "quit", Command(Kind::Quit)},
        ValidCase{"ExtraBlanksAndCarriageReturn", "  temp\t2   23.5 \r",
                  Command(Kind::HoldTemp, 2, 235)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IgnoredLines, BlankLinesAndCommentsAreNoCommandAndNoError) {
    for (const char* line : {"", "   ", "\t", "# a comment", "  #temp 1 20"}) {
        const ParsedCommand parsed = ParseCommand(QString::fromUtf8(line));
        EXPECT_FALSE(parsed.command.has_value()) << line;
        EXPECT_TRUE(parsed.error.isEmpty()) << line;
    }
}

struct MalformedCase {
    const char* name;
    const char* line;
    const char* errorPart; // a piece of the error text that tells what is wrong
};

class MalformedLines : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedLines, GiveAnErrorAndNoCommand) {
    const MalformedCase& c = GetParam();
    const ParsedCommand parsed = ParseCommand(QString::fromUtf8(c.line));
    EXPECT_FALSE(parsed.command.has_value());
    EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.errorPart)))
        << "error: " << parsed.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MalformedLines,
    ::testing::Values(MalformedCase{"Unknown", "frobnicate 3", "unknown command 'frobnicate'"},
                      MalformedCase{"UpperCaseKeyword", "STATUS", "unknown command"},
                      MalformedCase{"PlugWithArgument", "plug now", "plug takes no arguments"},
                      MalformedCase{"QuitWithArgument", "quit 0", "quit takes no arguments"},
                      MalformedCase{"SilentWithoutFlag", "silent", "silent on|off"},
                      MalformedCase{"SilentBadFlag", "silent maybe", "silent on|off"},
                      MalformedCase{"StateTooHigh", "state 256", "0 to 255"},
                      MalformedCase{"StateNegative", "state -1", "0 to 255"},
                      MalformedCase{"StateHex", "state 0x55", "0 to 255"},
                      MalformedCase{"StateMissing", "state", "state CODE|auto"},
                      MalformedCase{"TempSensorZero", "temp 0 20", "sensor must be 1 to 5"},
                      MalformedCase{"TempSensorSix", "temp 6 20", "sensor must be 1 to 5"},
                      MalformedCase{"TempTwoDecimals", "temp 2 23.55", "at most one decimal"},
                      MalformedCase{"TempComma", "temp 2 23,5", "at most one decimal"},
                      MalformedCase{"TempWord", "temp 2 warm", "at most one decimal"},
                      MalformedCase{"TempOutOfRange", "temp 2 3276.8", "3276.7"},
                      MalformedCase{"TempMissingValue", "temp 2", "temp N CELSIUS|absent|auto"},
                      MalformedCase{"FanWhich", "fan side 100", "fan front|rear RPM|auto"},
                      MalformedCase{"FanNegative", "fan front -1", "0 to 65535"},
                      MalformedCase{"FanTooFast", "fan rear 65536", "0 to 65535"},
                      MalformedCase{"HoursTooMany", "hours 70000", "0 to 65535"},
                      MalformedCase{"HoursMissing", "hours", "hours N"},
                      MalformedCase{"VariantOther", "variant Q", "variant W|E|X"},
                      MalformedCase{"VariantTwoLetters", "variant WE", "variant W|E|X"},
                      MalformedCase{"LetterOther", "letter K", "letter C|F"},
                      MalformedCase{"ReplyOddDigits", "reply 018", "pairs of hex digits"},
                      MalformedCase{"ReplyNotHex", "reply 01zz", "pairs of hex digits"},
                      MalformedCase{"ReplyEmpty", "reply", "pairs of hex digits"},
                      MalformedCase{"WaitNegative", "wait -1", "wait SECONDS"},
                      MalformedCase{"WaitTooLong", "wait 86401", "wait SECONDS"},
                      MalformedCase{"WaitMissing", "wait", "wait SECONDS"}),
    [](const auto& info) { return std::string(info.param.name); });

// Records what the commands ask of the session around the model.
class RecordingSession : public SimSession {
public:
    void Plug() override { calls.push_back("plug"); }
    void Unplug() override { calls.push_back("unplug"); }
    void PrintStatus() override { calls.push_back("status"); }
    void Wait(int ms) override { calls.push_back("wait " + std::to_string(ms)); }
    void Quit() override { calls.push_back("quit"); }
    std::vector<std::string> calls;
};

void RunCommand(const char* line, UnitModel& model, SimSession& session) {
    const ParsedCommand parsed = ParseCommand(QString::fromUtf8(line));
    ASSERT_TRUE(parsed.command.has_value()) << line << ": " << parsed.error.toStdString();
    ApplyCommand(*parsed.command, model, session);
}

QByteArray Request(std::uint8_t packet) {
    return QByteArray::fromHex("01") + char(packet) + QByteArray::fromHex("04");
}

struct EffectCase {
    const char* name;
    std::vector<const char*> lines;
    std::function<void(UnitModel&)> check;
};

class CommandEffects : public ::testing::TestWithParam<EffectCase> {};

TEST_P(CommandEffects, ActOnTheModel) {
    UnitModel model;
    RecordingSession session;
    for (const char* line : GetParam().lines)
        RunCommand(line, model, session);
    GetParam().check(model);
    EXPECT_TRUE(session.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandEffects,
    ::testing::Values(
        EffectCase{"TempHoldsTenths",
                   {"temp 2 23.5", "temp 3 -12.5"},
                   [](UnitModel& m) {
                       m.Advance(60000);
                       EXPECT_EQ(m.Temperatures()[1], 235);
                       EXPECT_EQ(m.Temperatures()[2], -125);
                   }},
        EffectCase{"TempAbsentAndBack",
                   {"temp 1 absent", "temp 2 absent", "temp 2 auto"},
                   [](UnitModel& m) {
                       EXPECT_EQ(m.Temperatures()[0], UnitModel::kAbsentTenths);
                       EXPECT_NE(m.Temperatures()[1], UnitModel::kAbsentTenths);
                   }},
        EffectCase{"StateHeld", {"state 83"}, [](UnitModel& m) { EXPECT_EQ(m.StateCode(), 83); }},
        EffectCase{"StateAuto",
                   {"state 83", "state auto"},
                   [](UnitModel& m) { EXPECT_EQ(m.StateCode(), UnitModel::kStateRunning); }},
        EffectCase{"FansHeld",
                   {"fan front 0", "fan rear 2500"},
                   [](UnitModel& m) {
                       EXPECT_EQ(m.FanRpm(Fan::Front), 0);
                       EXPECT_EQ(m.FanRpm(Fan::Rear), 2500);
                   }},
        EffectCase{"FanAuto",
                   {"fan front 0", "fan front auto"},
                   [](UnitModel& m) { EXPECT_EQ(m.FanRpm(Fan::Front), 1100); }},
        EffectCase{"HoursVariantLetter",
                   {"hours 4464", "variant E", "letter F"},
                   [](UnitModel& m) {
                       EXPECT_EQ(m.Hours(), 4464);
                       EXPECT_EQ(m.UnitSettings()[3], 'E');
                       EXPECT_EQ(m.UnitSettings()[1], 'F');
                   }},
        EffectCase{"Boot",
                   {"boot"},
                   [](UnitModel& m) { EXPECT_EQ(m.StateCode(), UnitModel::kStatePowerUp); }},
        EffectCase{"ReplyQueued",
                   {"reply 01 02 03"},
                   [](UnitModel& m) {
                       EXPECT_EQ(m.HandleFrame(Request(1)).value_or("none").toHex(), "010203");
                   }},
        EffectCase{"SilentOnAndOff",
                   {"silent on"},
                   [](UnitModel& m) {
                       EXPECT_FALSE(m.HandleFrame(Request(1)).has_value());
                       m.SetSilent(false);
                       EXPECT_TRUE(m.HandleFrame(Request(1)).has_value());
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SessionCommands, GoToTheSessionAndLeaveTheModelAlone) {
    UnitModel model;
    RecordingSession session;
    const QByteArray before = StatusLine(model, true);
    for (const char* line : {"unplug", "plug", "status", "wait 1.5", "quit"})
        RunCommand(line, model, session);
    EXPECT_EQ(session.calls,
              (std::vector<std::string>{"unplug", "plug", "status", "wait 1500", "quit"}));
    EXPECT_EQ(StatusLine(model, true), before);
}

} // namespace
