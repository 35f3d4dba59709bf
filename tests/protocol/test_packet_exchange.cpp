#include "protocol/PacketExchange.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Decoded {
    std::uint8_t packet;
    QByteArray payload;
};

// One exchange against a scripted link, with everything it did recorded.
struct ExchangeFixture {
    ScriptedUnitLink link;
    RecordingMessageSink messages;
    QStringList trace;
    std::vector<Decoded> decoded;
    std::function<void()> decoderAction;
    PacketExchange exchange{link, messages, [this](const QString& text) { trace.append(text); },
                            [this](std::uint8_t packet, const QByteArray& payload) {
                                decoded.push_back({packet, payload});
                                if (decoderAction)
                                    decoderAction();
                            }};

    void Reply(const LinkReply& reply) {
        link.responder = [reply](const QByteArray&) { return reply; };
    }
};

QByteArray DataReply(std::uint8_t packet, char fill = 'p') {
    return LinkReply::Data(packet, QByteArray(24, fill)).bytes;
}

struct ReplyCase {
    const char* name;
    LinkReply reply;
    int decodedPacket; // -1: nothing decoded
    bool connectionLost;
};

class ReplyHandling : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyHandling, DecodesValidDataRepliesAndTreatsBadLengthsAsALostLink) {
    const ReplyCase& c = GetParam();
    ExchangeFixture f;
    f.Reply(c.reply);
    f.exchange.Exchange(RequestFrame(Packet::Status));

    ASSERT_EQ(f.link.written.size(), 1u);
    EXPECT_EQ(f.link.readSizes.at(0), 88u);
    EXPECT_TRUE(f.messages.shown.isEmpty()) << f.messages.shown.join('|').toStdString();
    if (c.decodedPacket < 0) {
        EXPECT_TRUE(f.decoded.empty());
    } else {
        ASSERT_EQ(f.decoded.size(), 1u);
        EXPECT_EQ(f.decoded[0].packet, c.decodedPacket);
    }
    if (c.connectionLost) {
        EXPECT_EQ(f.trace, QStringList{"USB connection lost - retrying"});
        EXPECT_EQ(f.link.pipeResets, (std::vector<std::uint8_t>{0x02, 0x81}));
    } else {
        EXPECT_TRUE(f.trace.isEmpty());
        EXPECT_TRUE(f.link.pipeResets.empty());
    }
}

QByteArray WithByte(QByteArray bytes, int index, char value) {
    bytes[index] = value;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyHandling,
    ::testing::Values(
        ReplyCase{"status28", LinkReply::Bytes(DataReply(1)), 1, false},
        ReplyCase{"threeBytesWithMarker", LinkReply::Bytes(QByteArray("\x01\x01\x02", 3)), 1,
                  false},
        ReplyCase{"threeBytesAck", LinkReply::Bytes(QByteArray("\x01\x01\x04", 3)), -1, false},
        ReplyCase{"length27", LinkReply::Bytes(DataReply(1).left(27)), -1, true},
        ReplyCase{"length29", LinkReply::Bytes(DataReply(1) + "x"), -1, true},
        ReplyCase{"wrongStartByte", LinkReply::Bytes(WithByte(DataReply(1), 0, 0x02)), -1, false},
        ReplyCase{"noDataMarker", LinkReply::Bytes(WithByte(DataReply(1), 2, 0x03)), -1, false},
        ReplyCase{"packet0", LinkReply::Bytes(DataReply(0)), -1, false},
        ReplyCase{"packet4", LinkReply::Bytes(DataReply(4)), -1, false},
        ReplyCase{"packet5", LinkReply::Bytes(DataReply(5)), -1, false},
        ReplyCase{"packet8", LinkReply::Bytes(DataReply(8)), -1, false},
        ReplyCase{"packet2", LinkReply::Bytes(DataReply(2)), 2, false},
        ReplyCase{"packet3", LinkReply::Bytes(DataReply(3)), 3, false},
        ReplyCase{"packet6", LinkReply::Bytes(DataReply(6)), 6, false},
        ReplyCase{"packet7", LinkReply::Bytes(DataReply(7)), 7, false},
        ReplyCase{"writeFailed", LinkReply::Failure(0), -1, true},
        ReplyCase{"deviceGone", LinkReply::Failure(0x20000011), -1, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PacketExchange, PayloadTextIs97CharactersFromByte3) {
    ExchangeFixture f;
    QByteArray payload;
    for (int i = 0; i < 24; ++i)
        payload.append(char('a' + i));
    f.Reply(LinkReply::Data(1, payload));
    f.exchange.Exchange(RequestFrame(Packet::Status));
    ASSERT_EQ(f.decoded.size(), 1u);
    EXPECT_EQ(f.decoded[0].payload, payload + QByteArray("\x04", 1) + QByteArray(72, '\0'));
}

// A reply left over in the receive area from an earlier exchange must never leak into the next.
TEST(PacketExchange, ReceiveAreaIsClearedBeforeEveryRead) {
    ExchangeFixture f;
    f.Reply(LinkReply::Data(1, QByteArray(24, 'z')));
    f.exchange.Exchange(RequestFrame(Packet::Status));
    f.Reply(LinkReply::Bytes(QByteArray("\x01\x01\x02", 3)));
    f.exchange.Exchange(RequestFrame(Packet::Status));
    ASSERT_EQ(f.decoded.size(), 2u);
    EXPECT_EQ(f.decoded[1].payload, QByteArray(97, '\0'));
}

TEST(PacketExchange, ReplyNumberIsNotComparedWithTheRequest) {
    ExchangeFixture f;
    f.Reply(LinkReply::Bytes(DataReply(7)));
    f.exchange.Exchange(RequestFrame(Packet::DisplayLine1));
    ASSERT_EQ(f.decoded.size(), 1u);
    EXPECT_EQ(f.decoded[0].packet, 7);
}

TEST(PacketExchange, FramesGoOutWithTheLengthOfTheirForm) {
    ExchangeFixture f;
    f.Reply(LinkReply::Bytes(QByteArray("\x01\x07\x04", 3)));
    Payload payload;
    payload.fill(' ');
    f.exchange.Exchange(RequestFrame(Packet::Status));
    f.exchange.Exchange(DataFrame(Packet::DisplayLine2, payload));
    ASSERT_EQ(f.link.written.size(), 2u);
    EXPECT_EQ(f.link.written[0].size(), 3);
    EXPECT_EQ(f.link.written[1].size(), 28);
    EXPECT_TRUE(f.messages.shown.isEmpty());
}

TEST(PacketExchange, FrameOfNeitherFormIsReportedThenSentWithLength4) {
    ExchangeFixture f;
    f.Reply(LinkReply::Bytes(DataReply(1)));
    Frame frame = RequestFrame(Packet::Status);
    frame[0] = 0x55;
    f.exchange.Exchange(frame);
    EXPECT_EQ(f.messages.shown, QStringList{"Error in size : 4"});
    ASSERT_EQ(f.link.written.size(), 1u);
    EXPECT_EQ(Hex(f.link.written[0]), "55 01 04 00");
}

TEST(PacketExchange, DecoderErrorIsShownAndTheExchangeEnds) {
    ExchangeFixture f;
    f.Reply(LinkReply::Bytes(DataReply(2)));
    f.decoderAction = [] { throw std::runtime_error("bad block"); };
    f.exchange.Exchange(RequestFrame(Packet::UnitSettings));
    EXPECT_EQ(f.messages.shown, QStringList{"Error: bad block"});
    EXPECT_TRUE(f.trace.isEmpty());
}

TEST(PacketExchange, UnpluggedUnitQueuesOneMessagePerCallAndShowsNoBox) {
    ExchangeFixture f;
    f.Reply(LinkReply::Failure(0));
    for (int i = 0; i < 3; ++i)
        f.exchange.Exchange(RequestFrame(Packet::Status));
    EXPECT_EQ(f.trace.size(), 3);
    EXPECT_EQ(f.link.pipeResets.size(), 6u);
    EXPECT_TRUE(f.messages.shown.isEmpty());
}

} // namespace
