#include "protocol/PacketCodec.h"
#include "sim/StatusJson.h"
#include "sim/UnitModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Fan = UnitModel::Fan;

QByteArray FromHex(const char* hex) {
    return QByteArray::fromHex(QByteArray(hex));
}

std::string HexOf(const QByteArray& bytes) {
    return bytes.toHex(' ').toStdString();
}

QByteArray Request(std::uint8_t packet) {
    return QByteArray::fromHex("01") + char(packet) + QByteArray::fromHex("04");
}

QByteArray DataFrameBytes(std::uint8_t packet, const QByteArray& payload) {
    return QByteArray::fromHex("01") + char(packet) + QByteArray::fromHex("02") + payload +
           QByteArray::fromHex("04");
}

QByteArray Reply(UnitModel& model, const QByteArray& frame) {
    const std::optional<QByteArray> reply = model.HandleFrame(frame);
    EXPECT_TRUE(reply.has_value()) << "no reply to " << HexOf(frame);
    return reply.value_or(QByteArray());
}

std::uint8_t StateAfterRequest(UnitModel& model) {
    return static_cast<std::uint8_t>(Reply(model, Request(1)).at(3 + 2));
}

// The unit's blocks as the model starts, byte for byte.
constexpr const char* kStatusAtStart = "0000 01 66fe 0401 22fc 22fc 22fc 4c04 4c04 00000000000000";
constexpr const char* kUnitSettingsAtStart =
    "01 43 02 57 0a14003c050000000100 5802 00 d204 2c01 000000";
constexpr const char* kFanSettingsAtStart =
    "3408 4c04 7805 b6fe 9600 3c00 1e00 0000 4c04 7805 01000000";
constexpr const char* kLine1AtStart = "202020 5441525649 4b 20 4949 202020202020202020202020";
constexpr const char* kSomePayload = "aa4607450102030405060708090a0b0c0d0e0f1011121314";

struct FrameCase {
    const char* name;
    QByteArray frame;
    QByteArray reply;
};

class ModelAnswers : public ::testing::TestWithParam<FrameCase> {};

TEST_P(ModelAnswers, EveryFrameGetsTheUnitsReplyByteForByte) {
    UnitModel model;
    const FrameCase& c = GetParam();
    EXPECT_EQ(HexOf(Reply(model, c.frame)), HexOf(c.reply));
    EXPECT_EQ(model.FramesReceived(), 1);
}

QByteArray DataReply(std::uint8_t packet, const char* payloadHex) {
    return DataFrameBytes(packet, FromHex(payloadHex));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ModelAnswers,
    ::testing::Values(
        FrameCase{"RequestStatus", Request(1), DataReply(1, kStatusAtStart)},
        FrameCase{"RequestUnitSettings", Request(2), DataReply(2, kUnitSettingsAtStart)},
        FrameCase{"RequestFanSettings", Request(3), DataReply(3, kFanSettingsAtStart)},
        FrameCase{"RequestLine1", Request(6), DataReply(6, kLine1AtStart)},
        FrameCase{"RequestLine2IsNotAnswered", Request(7), FromHex("010704")},
        FrameCase{"Request0", Request(0), FromHex("010004")},
        FrameCase{"Request4", Request(4), FromHex("010404")},
        FrameCase{"Request5", Request(5), FromHex("010504")},
        FrameCase{"Request8", Request(8), FromHex("010804")},
        FrameCase{"Shutdown", Request(0x85), FromHex("018504")},
        FrameCase{"DataUnitSettings", DataReply(2, kSomePayload), DataReply(2, kSomePayload)},
        FrameCase{"DataFanSettings", DataReply(3, kSomePayload), DataReply(3, kSomePayload)},
        FrameCase{"DataLine1", DataReply(6, kSomePayload), DataReply(6, kSomePayload)},
        FrameCase{"DataLine2", DataReply(7, kSomePayload), DataReply(7, kSomePayload)},
        FrameCase{"DataStatusIsNotStored", DataReply(1, kSomePayload), FromHex("010104")},
        FrameCase{"Data5", DataReply(5, kSomePayload), FromHex("010504")},
        FrameCase{"RequestWithTrailingByte", FromHex("01010400"), FromHex("010104")},
        FrameCase{"RequestWithoutStartByte", FromHex("020104"), FromHex("010104")},
        FrameCase{"DataWithoutEndByte", FromHex("010602") + FromHex(kSomePayload) + "\x05",
                  FromHex("010604")},
        FrameCase{"DataWithoutMarker", FromHex("010603") + FromHex(kSomePayload) + "\x04",
                  FromHex("010604")},
        FrameCase{"DataOneByteShort", FromHex("010602") + FromHex(kSomePayload).left(23) + "\x04",
                  FromHex("010604")},
        FrameCase{"OneByte", FromHex("01"), FromHex("010004")},
        FrameCase{"Empty", QByteArray(), FromHex("010004")}),
    [](const auto& info) { return std::string(info.param.name); });

// Each data frame is kept and comes back on the next request of its number; a request of a
// number the unit does not report stays a short reply.
TEST(ModelStorage, DataFramesAreKeptAndReportedBack) {
    UnitModel model;
    const QByteArray payload = FromHex(kSomePayload);
    for (const std::uint8_t packet : {2, 3, 6, 7})
        Reply(model, DataFrameBytes(packet, payload));

    EXPECT_EQ(HexOf(Reply(model, Request(2))), HexOf(DataFrameBytes(2, payload)));
    EXPECT_EQ(HexOf(Reply(model, Request(3))), HexOf(DataFrameBytes(3, payload)));
    EXPECT_EQ(HexOf(Reply(model, Request(6))), HexOf(DataFrameBytes(6, payload)));
    EXPECT_EQ(HexOf(Reply(model, Request(7))), "01 07 04");
    ASSERT_TRUE(model.ReceivedLine(2).has_value());
    EXPECT_EQ(HexOf(QByteArray(reinterpret_cast<const char*>(model.ReceivedLine(2)->data()), 24)),
              HexOf(payload));
}

// Packet 2 replaces the whole block: byte 2 stays as sent, and the hours come from it.
TEST(ModelStorage, UnitSettingsPacketReplacesLetterVariantAndHours) {
    UnitModel model;
    QByteArray payload = FromHex(kUnitSettingsAtStart);
    payload[1] = 'F';
    payload[2] = 7;
    payload[3] = 'E';
    payload[17] = 0x10; // 3600 hours, low byte first
    payload[18] = 0x0E;
    Reply(model, DataFrameBytes(2, payload));
    EXPECT_EQ(model.Hours(), 3600);
    EXPECT_EQ(HexOf(Reply(model, Request(2))), HexOf(DataFrameBytes(2, payload)));
}

TEST(ModelStorage, HoursLetterAndVariantLandInTheUnitSettingsBlock) {
    UnitModel model;
    model.SetHours(4464);
    model.SetTemperatureLetter('F');
    model.SetDisplayVariant('X');
    EXPECT_EQ(HexOf(Reply(model, Request(2))),
              HexOf(DataReply(2, "01 46 02 58 0a14003c050000000100 5802 00 7011 2c01 000000")));
}

TEST(ModelStatus, HeldStateReplacesTheReportedCodeWhileTheControllerGoesOn) {
    UnitModel model;
    model.HoldState(83);
    EXPECT_EQ(StateAfterRequest(model), 83);
    Reply(model, Request(0x85));
    model.Advance(11000);
    EXPECT_EQ(StateAfterRequest(model), 83);
    model.ReleaseState();
    EXPECT_EQ(StateAfterRequest(model), UnitModel::kStateIdle);
}

TEST(ModelShutdown, ShutdownCommandPowersDownThenIdlesWithTheCompressorOff) {
    UnitModel model;
    ASSERT_TRUE(model.CompressorOn());
    EXPECT_EQ(HexOf(Reply(model, Request(0x85))), "01 85 04");
    EXPECT_EQ(model.ShutdownCommands(), 1);
    EXPECT_EQ(StateAfterRequest(model), UnitModel::kStatePowerDown);
    EXPECT_FALSE(model.CompressorOn());

    model.Advance(9900);
    EXPECT_EQ(model.StateCode(), UnitModel::kStatePowerDown);
    model.Advance(100);
    EXPECT_EQ(model.StateCode(), UnitModel::kStateIdle);

    // A second command finds the unit stopped: it is counted and changes nothing.
    Reply(model, Request(0x85));
    EXPECT_EQ(model.ShutdownCommands(), 2);
    EXPECT_EQ(model.StateCode(), UnitModel::kStateIdle);

    // The evaporator warms towards room temperature; the fans keep running.
    model.Advance(10 * 60 * 1000);
    EXPECT_NEAR(model.Temperatures()[0], UnitModel::kRoomTenths, 10);
    EXPECT_EQ(model.FanRpm(Fan::Front), 1400);
    EXPECT_EQ(model.FanRpm(Fan::Rear), 1400);
}

// The evaporator warms steadily, without the compressor coming back on by itself.
TEST(ModelShutdown, EvaporatorRisesMonotonicallyAfterShutdown) {
    UnitModel model;
    Reply(model, Request(0x85));
    int previous = model.Temperatures()[0];
    for (int second = 0; second < 120; second += 10) {
        model.Advance(10000);
        const int now = model.Temperatures()[0];
        EXPECT_GT(now, previous - 6) << "at " << second << " s"; // the ripple is +-3 tenths
        previous = now;
    }
    EXPECT_GT(previous, -150);
}

struct BootCase {
    int bootTempTenths;
};

class ModelBoot : public ::testing::TestWithParam<BootCase> {};

// A power-up shows POWER UP, then BOOT DELAY until the evaporator is down at the boot
// temperature of the fan-and-boot block, then the running code.
TEST_P(ModelBoot, PowerUpThenBootDelayUntilTheBootTemperatureThenRunning) {
    UnitModel model;
    FanSettingsBlock block = model.FanSettings();
    block.bootTempTenths = GetParam().bootTempTenths;
    const Payload payload = EncodeFanSettings(block);
    Reply(model, DataFrameBytes(3, QByteArray(reinterpret_cast<const char*>(payload.data()), 24)));

    model.Boot();
    EXPECT_EQ(model.StateCode(), UnitModel::kStatePowerUp);
    EXPECT_NEAR(model.Temperatures()[0], UnitModel::kRoomTenths, 3);
    EXPECT_EQ(model.FanRpm(Fan::Front), 0);

    std::vector<std::uint8_t> codes{model.StateCode()};
    int powerUpMs = 0;
    int bootDelayEndMs = -1;
    int evaporatorBefore = 0;
    int evaporatorAtEnd = 0;
    for (int ms = 100; ms <= 180000 && bootDelayEndMs < 0; ms += 100) {
        const int before = model.Temperatures()[0];
        model.Advance(100);
        const std::uint8_t code = model.StateCode();
        if (code != codes.back())
            codes.push_back(code);
        if (code == UnitModel::kStatePowerUp)
            powerUpMs = ms;
        if (code == UnitModel::kStateRunning) {
            bootDelayEndMs = ms;
            evaporatorBefore = before;
            evaporatorAtEnd = model.Temperatures()[0];
        }
    }
    EXPECT_EQ(codes, (std::vector<std::uint8_t>{0, 2, 1}));
    EXPECT_EQ(powerUpMs, UnitModel::kPowerUpMs - 100);
    ASSERT_GT(bootDelayEndMs, 0) << "boot delay never ended";
    EXPECT_GT(evaporatorBefore, GetParam().bootTempTenths);
    EXPECT_LE(evaporatorAtEnd, GetParam().bootTempTenths);
}

INSTANTIATE_TEST_SUITE_P(BootTemperatures, ModelBoot,
                         ::testing::Values(BootCase{0}, BootCase{-200}, BootCase{-330},
                                           BootCase{-400}));

TEST(ModelBootDelay, DefaultBootDelayLastsBetweenTenSecondsAndTwoMinutes) {
    UnitModel model;
    model.Boot();
    model.Advance(UnitModel::kPowerUpMs);
    ASSERT_EQ(model.StateCode(), UnitModel::kStateBootDelay);
    model.Advance(10000);
    EXPECT_EQ(model.StateCode(), UnitModel::kStateBootDelay);
    model.Advance(110000);
    EXPECT_EQ(model.StateCode(), UnitModel::kStateRunning);
}

// A held evaporator reading is what the unit's controller sees: a warm reading keeps the unit
// in its boot delay however cold the evaporator really is.
TEST(ModelBootDelay, HeldWarmEvaporatorKeepsTheBootDelay) {
    UnitModel model;
    model.Boot();
    model.HoldTemperature(1, -100);
    model.Advance(5 * 60 * 1000);
    EXPECT_EQ(model.StateCode(), UnitModel::kStateBootDelay);
    model.HoldTemperature(1, -350);
    model.Advance(100);
    EXPECT_EQ(model.StateCode(), UnitModel::kStateRunning);
}

TEST(ModelSensors, ModelReadingsStayPlausibleOverAnHour) {
    UnitModel model;
    for (int minute = 0; minute < 60; ++minute) {
        const auto temps = model.Temperatures();
        EXPECT_GE(temps[0], -420) << "minute " << minute;
        EXPECT_LE(temps[0], -400) << "minute " << minute;
        EXPECT_GE(temps[1], 240) << "minute " << minute;
        EXPECT_LE(temps[1], 280) << "minute " << minute;
        for (int sensor = 2; sensor < 5; ++sensor)
            EXPECT_EQ(temps[sensor], UnitModel::kAbsentTenths);
        model.Advance(60000 + 1234);
    }
}

// The same history gives the same readings: drills and tests can compare runs.
TEST(ModelSensors, ReadingsAreDeterministic) {
    UnitModel first;
    UnitModel second;
    first.Boot();
    second.Boot();
    for (int i = 0; i < 50; ++i) {
        first.Advance(777);
        second.Advance(777);
        ASSERT_EQ(HexOf(Reply(first, Request(1))), HexOf(Reply(second, Request(1))));
    }
}

struct SensorCase {
    const char* name;
    int sensor;
    std::function<void(UnitModel&)> act;
    // The raw reading and its bytes in the status payload; none: what an untouched unit
    // reports at the same moment.
    std::optional<int> expectedTenths;
    const char* expectedBytes;
};

class ModelSensorOverride : public ::testing::TestWithParam<SensorCase> {};

TEST_P(ModelSensorOverride, ReportedRawValueAndItsStatusBytes) {
    UnitModel model;
    UnitModel untouched;
    const SensorCase& c = GetParam();
    c.act(model);
    model.Advance(60000);
    untouched.Advance(60000);
    const int offset = 3 + 3 + 2 * (c.sensor - 1);
    const QByteArray status = Reply(model, Request(1));
    if (c.expectedTenths) {
        EXPECT_EQ(model.Temperatures()[c.sensor - 1], *c.expectedTenths);
        EXPECT_EQ(HexOf(status.mid(offset, 2)), HexOf(FromHex(c.expectedBytes)));
    } else {
        EXPECT_EQ(model.Temperatures()[c.sensor - 1], untouched.Temperatures()[c.sensor - 1]);
        EXPECT_EQ(HexOf(status.mid(offset, 2)), HexOf(Reply(untouched, Request(1)).mid(offset, 2)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sensors, ModelSensorOverride,
    ::testing::Values(
        SensorCase{"HeldWithTenths", 2, [](UnitModel& m) { m.HoldTemperature(2, 235); }, 235,
                   "eb00"},
        SensorCase{"HeldNegative", 3, [](UnitModel& m) { m.HoldTemperature(3, -125); }, -125,
                   "83ff"},
        SensorCase{"HeldOnSensorFive", 5, [](UnitModel& m) { m.HoldTemperature(5, 450); }, 450,
                   "c201"},
        SensorCase{"EvaporatorAbsent", 1, [](UnitModel& m) { m.SetSensorAbsent(1); }, -990, "22fc"},
        SensorCase{"AmbientAbsent", 2, [](UnitModel& m) { m.SetSensorAbsent(2); }, -990, "22fc"},
        SensorCase{"OptionalSensorBackToAbsent", 4,
                   [](UnitModel& m) {
                       m.HoldTemperature(4, 300);
                       m.ReleaseTemperature(4);
                   },
                   -990, "22fc"},
        SensorCase{"AmbientBackToTheModel", 2,
                   [](UnitModel& m) {
                       m.HoldTemperature(2, 999);
                       m.ReleaseTemperature(2);
                   },
                   std::nullopt, ""},
        SensorCase{"EvaporatorBackToTheModel", 1,
                   [](UnitModel& m) {
                       m.SetSensorAbsent(1);
                       m.ReleaseTemperature(1);
                   },
                   std::nullopt, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct FanCase {
    const char* name;
    int fanLimit;
    std::int16_t evaporatorTenths; // held; the set point is the boot temperature, -33.0 °C
    int expectedFront;
    int expectedRear;
};

class ModelFans : public ::testing::TestWithParam<FanCase> {};

// The fans settle on the low speed of their pair at or below the set point and on the high
// speed above it, capped by the fan limit.
TEST_P(ModelFans, FansFollowTheSpeedsOfTheLastPacket3) {
    UnitModel model;
    const FanCase& c = GetParam();
    FanSettingsBlock block = model.FanSettings();
    block.fanLimitRpm = c.fanLimit;
    block.frontFanLowRpm = 800;
    block.frontFanHighRpm = 1800;
    block.rearFanLowRpm = 900;
    block.rearFanHighRpm = 1900;
    const Payload payload = EncodeFanSettings(block);
    Reply(model, DataFrameBytes(3, QByteArray(reinterpret_cast<const char*>(payload.data()), 24)));
    model.HoldTemperature(1, c.evaporatorTenths);

    model.Advance(15000);
    EXPECT_EQ(model.FanRpm(Fan::Front), c.expectedFront);
    EXPECT_EQ(model.FanRpm(Fan::Rear), c.expectedRear);
    const QByteArray status = Reply(model, Request(1));
    const auto word = [&](int offset) {
        return static_cast<std::uint8_t>(status.at(3 + offset)) |
               (static_cast<std::uint8_t>(status.at(4 + offset)) << 8);
    };
    EXPECT_EQ(word(13), c.expectedFront);
    EXPECT_EQ(word(15), c.expectedRear);
}

INSTANTIATE_TEST_SUITE_P(Speeds, ModelFans,
                         ::testing::Values(FanCase{"ColdGivesLow", 2100, -410, 800, 900},
                                           FanCase{"AtSetPointGivesLow", 2100, -330, 800, 900},
                                           FanCase{"WarmGivesHigh", 2100, -329, 1800, 1900},
                                           FanCase{"LimitCapsHigh", 1500, 200, 1500, 1500},
                                           FanCase{"ZeroLimitCapsNothing", 0, 200, 1800, 1900}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModelFanOverride, HeldSpeedIsReportedUntilReleased) {
    UnitModel model;
    model.HoldFan(Fan::Rear, 0);
    model.HoldFan(Fan::Front, 12000);
    model.Advance(5000);
    EXPECT_EQ(model.FanRpm(Fan::Rear), 0);
    EXPECT_EQ(model.FanRpm(Fan::Front), 12000);
    model.ReleaseFan(Fan::Front);
    EXPECT_EQ(model.FanRpm(Fan::Front), 1100);
    EXPECT_EQ(model.FanRpm(Fan::Rear), 0);
}

TEST(ModelHours, RunningHoursCountUpOnlyWithTheCompressorRunning) {
    UnitModel model;
    model.SetHours(65534);
    model.Advance(3600 * 1000);
    EXPECT_EQ(model.Hours(), 65535);
    model.Advance(3600 * 1000);
    EXPECT_EQ(model.Hours(), 0); // 16 bits on the wire
    Reply(model, Request(0x85));
    model.Advance(3 * 3600 * 1000);
    EXPECT_EQ(model.Hours(), 0);
}

TEST(ModelReplies, QueuedRepliesReplaceTheNextRepliesInOrder) {
    UnitModel model;
    const QByteArray garbage = FromHex("deadbeef");
    const QByteArray almostData = DataFrameBytes(1, FromHex(kStatusAtStart)).left(27);
    model.QueueReply(garbage);
    model.QueueReply(almostData);
    EXPECT_EQ(HexOf(Reply(model, Request(2))), HexOf(garbage));
    EXPECT_EQ(HexOf(Reply(model, Request(1))), HexOf(almostData));
    EXPECT_EQ(HexOf(Reply(model, Request(1))), HexOf(DataReply(1, kStatusAtStart)));
}

// A replaced reply changes only the bytes sent back; the frame still does what it does.
TEST(ModelReplies, FrameWithAReplacedReplyStillTakesEffect) {
    UnitModel model;
    model.QueueReply(FromHex("00"));
    EXPECT_EQ(HexOf(Reply(model, Request(0x85))), "00");
    EXPECT_EQ(model.ShutdownCommands(), 1);
    EXPECT_EQ(model.StateCode(), UnitModel::kStatePowerDown);
}

TEST(ModelReplies, SilentUnitTakesFramesInButAnswersNone) {
    UnitModel model;
    model.QueueReply(FromHex("0102"));
    model.SetSilent(true);
    EXPECT_FALSE(model.HandleFrame(Request(1)).has_value());
    EXPECT_FALSE(model.HandleFrame(DataFrameBytes(6, FromHex(kSomePayload))).has_value());
    EXPECT_FALSE(model.HandleFrame(Request(0x85)).has_value());
    EXPECT_EQ(model.FramesReceived(), 3);
    EXPECT_EQ(model.ShutdownCommands(), 1);
    EXPECT_TRUE(model.ReceivedLine(1).has_value());

    // The queued reply waits for the first frame that is answered again.
    model.SetSilent(false);
    EXPECT_EQ(HexOf(Reply(model, Request(6))), "01 02");
    EXPECT_EQ(HexOf(Reply(model, Request(6))), HexOf(DataReply(6, kSomePayload)));
}

QJsonObject ParseStatus(const QByteArray& line) {
    EXPECT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1) << "the status is one line";
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

TEST(StatusLine, FreshUnitReportsItsStartValues) {
    UnitModel model;
    const QJsonObject status = ParseStatus(StatusLine(model, false));
    EXPECT_EQ(status.value("state").toInt(), 1);
    EXPECT_EQ(status.value("temps").toArray(), (QJsonArray{-410, 260, -990, -990, -990}));
    EXPECT_EQ(status.value("fans").toObject(), (QJsonObject{{"front", 1100}, {"rear", 1100}}));
    EXPECT_EQ(status.value("line1").toString(), QString());
    EXPECT_EQ(status.value("line2").toString(), QString());
    const QJsonObject fans = status.value("fanSettings").toObject();
    EXPECT_EQ(fans.value("words").toArray(),
              (QJsonArray{2100, 1100, 1400, -330, 150, 60, 30, 0, 1100, 1400}));
    EXPECT_EQ(fans.value("bytes").toArray(), (QJsonArray{1, 0, 0, 0}));
    EXPECT_EQ(status.value("unitSettings").toString(),
              QString::fromLatin1(FromHex(kUnitSettingsAtStart).toHex()));
    EXPECT_EQ(status.value("hours").toInt(), 1234);
    EXPECT_EQ(status.value("shutdownCommands").toInt(), 0);
    EXPECT_EQ(status.value("framesReceived").toInt(), 0);
    EXPECT_FALSE(status.value("attached").toBool());
    EXPECT_TRUE(status.value("attached").isBool());
}

TEST(StatusLine, ReflectsWhatTheUnitReceived) {
    UnitModel model;
    // Line 1 with the unit's degree sign 0xB0 and a text longer than the display.
    QByteArray line1 = QByteArray("CPU -41") + char(0xB0) + "C at 4.2 GHz!!";
    line1 = line1.leftJustified(24, ' ');
    Reply(model, DataFrameBytes(6, line1));
    Reply(model, DataFrameBytes(7, QByteArray(24, ' ')));
    FanSettingsBlock block = model.FanSettings();
    block.bootTempTenths = -400;
    block.words4to7 = {65535, 1, 2, 3};
    block.bytes20to23 = {0xFF, 0x10, 0x20, 0x30};
    const Payload payload = EncodeFanSettings(block);
    Reply(model, DataFrameBytes(3, QByteArray(reinterpret_cast<const char*>(payload.data()), 24)));
    Reply(model, Request(0x85));
    model.HoldTemperature(2, 235);
    model.SetHours(42);

    const QJsonObject status = ParseStatus(StatusLine(model, true));
    EXPECT_EQ(status.value("line1").toString(), QString::fromUtf8("CPU -41°C at 4.2"));
    EXPECT_EQ(status.value("line2").toString(), QString(16, ' '));
    const QJsonObject fans = status.value("fanSettings").toObject();
    EXPECT_EQ(fans.value("words").toArray(),
              (QJsonArray{2100, 1100, 1400, -400, 65535, 1, 2, 3, 1100, 1400}));
    EXPECT_EQ(fans.value("bytes").toArray(), (QJsonArray{255, 16, 32, 48}));
    EXPECT_EQ(status.value("state").toInt(), 5);
    EXPECT_EQ(status.value("temps").toArray().at(1).toInt(), 235);
    EXPECT_EQ(status.value("hours").toInt(), 42);
    EXPECT_EQ(status.value("unitSettings").toString(),
              QString::fromLatin1(
                  FromHex("01 43 02 57 0a14003c050000000100 5802 00 2a00 2c01 000000").toHex()));
    EXPECT_EQ(status.value("shutdownCommands").toInt(), 1);
    EXPECT_EQ(status.value("framesReceived").toInt(), 4);
    EXPECT_TRUE(status.value("attached").toBool());
}

} // namespace
