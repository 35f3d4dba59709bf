#include "protocol/PacketCodec.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const Payload& payload) {
    return QByteArray(reinterpret_cast<const char*>(payload.data()), kPayloadLength);
}

QByteArray Bytes(const Frame& frame, int length) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), length);
}

TEST(Frames, RequestAndDataFramesHaveTheirFormAndLength) {
    const Frame request = RequestFrame(Packet::Status);
    EXPECT_EQ(Hex(Bytes(request, 3)), "01 01 04");
    EXPECT_EQ(FrameLength(request), 3);

    Payload payload;
    payload.fill('A');
    const Frame data = DataFrame(Packet::DisplayLine2, payload);
    EXPECT_EQ(Bytes(data, 28), QByteArray("\x01\x07\x02", 3) + QByteArray(24, 'A') + "\x04");
    EXPECT_EQ(FrameLength(data), 28);

    EXPECT_EQ(Hex(Bytes(RequestFrame(Packet::Shutdown), 3)), "01 85 04");

    Frame neither = request;
    neither[0] = 0x02;
    EXPECT_FALSE(FrameLength(neither).has_value());
}

// A data frame whose payload ends with EOT at byte 2 must still count as a request frame:
// the form is decided by the bytes, request first.
TEST(Frames, RequestFormWinsWhenBothEndBytesArePresent) {
    Payload payload{};
    Frame frame = DataFrame(Packet::UnitSettings, payload);
    frame[2] = kEndByte;
    EXPECT_EQ(FrameLength(frame), 3);
}

struct StatusCase {
    const char* name;
    int offset;
    int raw;
    int slot;
    int expected;
};

class StatusTemperature : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusTemperature, TenthsAreTruncatedTowardZero) {
    const StatusCase& c = GetParam();
    const StatusReading reading =
        DecodeStatus(PayloadWithWord(QByteArray(24, '\0'), c.offset, c.raw));
    EXPECT_EQ(reading.temperatures[c.slot], c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusTemperature,
                         ::testing::Values(StatusCase{"plus25", 3, 255, 0, 25},
                                           StatusCase{"minus25", 3, -255, 0, -25},
                                           StatusCase{"absent990", 7, -990, 2, -99},
                                           StatusCase{"absent999", 11, -999, 4, -99},
                                           StatusCase{"minus9", 5, -99, 1, -9},
                                           StatusCase{"max", 9, 32767, 3, 3276},
                                           StatusCase{"min", 9, -32768, 3, -3276}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StatusPacket, DecodesStateFansAndIgnoresBytesPastTheFirst24) {
    QByteArray payload(24, '\0');
    payload[2] = char(0x84);
    payload = PayloadWithWord(payload, 13, 0xFFFF);
    payload = PayloadWithWord(payload, 15, 1234);
    payload += QByteArray("\x04", 1) + QByteArray(72, '\x7F');
    const StatusReading reading = DecodeStatus(payload);
    EXPECT_EQ(reading.unitState, 0x84);
    EXPECT_EQ(reading.frontFanRpm, 65535);
    EXPECT_EQ(reading.rearFanRpm, 1234);
}

TEST(StatusPacket, ShortPayloadIsPaddedWithZeros) {
    const StatusReading reading = DecodeStatus(QByteArray("\x00\x00\x05\xFF", 4));
    EXPECT_EQ(reading.unitState, 5);
    EXPECT_EQ(reading.temperatures[0], 25); // 0xFF, then a padded 0x00
    EXPECT_EQ(reading.rearFanRpm, 0);
}

TEST(StatusPacket, StoreTouchesOnlyReadingsOfTheRecord) {
    UnitData data;
    data.sensors[2].name = QStringLiteral("Compressor");
    data.sensors[2].warningLimit = 40;
    data.unitSettings.operatingHours = 7;
    StatusReading reading;
    reading.unitState = 0x20;
    reading.temperatures = {-40, 21, 30, -99, 5};
    reading.frontFanRpm = 1400;
    reading.rearFanRpm = 1100;
    StoreStatus(reading, data);
    EXPECT_EQ(data.unitState, 0x20);
    EXPECT_EQ(data.sensors[0].temperature, -40);
    EXPECT_EQ(data.sensors[3].temperature, -99);
    EXPECT_EQ(data.frontFanRpm, 1400);
    EXPECT_EQ(data.sensors[2].name, "Compressor");
    EXPECT_EQ(data.sensors[2].warningLimit, 40);
    EXPECT_EQ(data.unitSettings.operatingHours, 7);
}

TEST(UnitSettingsPacket, DecodesHoursForcesByte2AndSendsTheRestBackUnchanged) {
    QByteArray payload;
    for (int i = 0; i < 24; ++i)
        payload.append(char(0xA0 + i));
    payload[1] = 'F';
    payload[2] = 0x07;
    payload[3] = 'E';
    payload[17] = 0x10;
    payload[18] = 0x0E;

    const UnitSettingsBlock block = DecodeUnitSettings(payload);
    EXPECT_EQ(block.tempUnitLetter, 'F');
    EXPECT_EQ(block.byte2, 2);
    EXPECT_EQ(block.displayVariant, 'E');
    EXPECT_EQ(block.operatingHours, 3600);

    QByteArray expected = payload;
    expected[2] = 2;
    EXPECT_EQ(Hex(Bytes(EncodeUnitSettings(block))), Hex(expected));
}

TEST(UnitSettingsPacket, HoursBeyond16BitsGoOutAsTheirLowWord) {
    UnitSettingsBlock block;
    block.operatingHours = 70000;
    const Payload payload = EncodeUnitSettings(block);
    EXPECT_EQ(payload[17], 0x70);
    EXPECT_EQ(payload[18], 0x11);
}

TEST(FanSettingsPacket, BootTemperatureKeepsItsSign) {
    FanSettingsBlock block = DecodeFanSettings(PayloadWithWord(QByteArray(24, '\0'), 6, 0xFF38));
    EXPECT_EQ(block.bootTempTenths, -200);

    block.bootTempTenths = -330;
    const Payload payload = EncodeFanSettings(block);
    EXPECT_EQ(payload[6], 0xB6);
    EXPECT_EQ(payload[7], 0xFE);
}

TEST(FanSettingsPacket, RoundTripsEveryByteOfTheUnitsBlock) {
    QByteArray payload;
    for (int i = 0; i < 24; ++i)
        payload.append(char(0x31 + 7 * i));
    const FanSettingsBlock block = DecodeFanSettings(payload);
    EXPECT_EQ(Hex(Bytes(EncodeFanSettings(block))), Hex(payload));
    EXPECT_EQ(block.rearFanLowRpm, 0x31 + 7 * 16 + ((0x31 + 7 * 17) << 8));
    EXPECT_EQ(block.bytes20to23[3], 0x31 + 7 * 23);
}

TEST(FanSettingsPacket, ManualSpeedGoesToLowAndHighOfItsFan) {
    FanSettingsBlock block;
    block.fanLimitRpm = 2100;
    block.frontFanLowRpm = block.frontFanHighRpm = 600;
    block.rearFanLowRpm = block.rearFanHighRpm = 2200;
    const Payload payload = EncodeFanSettings(block);
    EXPECT_EQ(Hex(Bytes(payload).mid(0, 6)), "34 08 58 02 58 02");
    EXPECT_EQ(Hex(Bytes(payload).mid(16, 4)), "98 08 98 08");
}

struct TextCase {
    const char* name;
    QString text;
    QByteArray expected;
};

class TextLine : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextLine, First16BytesPaddedWithSpacesThenEightSpaces) {
    const TextCase& c = GetParam();
    EXPECT_EQ(Bytes(EncodeTextLine(ToUnitText(c.text))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLine,
    ::testing::Values(TextCase{"empty", QString(), QByteArray(24, ' ')},
                      TextCase{"cut", QStringLiteral("TEMPERATURE CRITICAL - SHUTTING DOWN"),
                               QByteArray("TEMPERATURE CRIT") + QByteArray(8, ' ')},
                      TextCase{"short", QStringLiteral("DRALMIC"),
                               QByteArray("DRALMIC") + QByteArray(17, ' ')},
                      TextCase{"latin1Kept", QStringLiteral("-33\u00B0C \u00DF"),
                               QByteArray("-33\xB0"
                                          "C \xDF") +
                                   QByteArray(17, ' ')},
                      TextCase{"outsideLatin1", QStringLiteral("\u20AC5 \U0001F600!"),
                               QByteArray("?5 ?!") + QByteArray(19, ' ')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayEcho, LinesGoToTheirHalves) {
    UnitData data;
    StoreDisplayEcho(QByteArray("LINE ONE"), 1, data);
    StoreDisplayEcho(QByteArray(30, 'x'), 2, data);
    EXPECT_EQ(data.displayEcho[0], 'L');
    EXPECT_EQ(data.displayEcho[8], 0);
    EXPECT_EQ(data.displayEcho[24], 'x');
    EXPECT_EQ(data.displayEcho[47], 'x');
}

} // namespace
