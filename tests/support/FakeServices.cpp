#include "support/FakeServices.h"

#include <algorithm>
#include <cstring>

LinkReply LinkReply::Data(std::uint8_t packet, const QByteArray& payload24) {
    QByteArray bytes;
    bytes.append(char(kStartByte)).append(char(packet)).append(char(kDataMarker));
    bytes.append(payload24.left(kPayloadLength).leftJustified(kPayloadLength, '\0'));
    bytes.append(char(kEndByte));
    return Bytes(bytes);
}

std::uint32_t ScriptedUnitLink::TransferFrame(const std::uint8_t* frame, std::uint8_t frameLength,
                                              std::uint8_t* reply, std::uint32_t replyLength) {
    const QByteArray sent(reinterpret_cast<const char*>(frame), frameLength);
    written.push_back(sent);
    readSizes.push_back(replyLength);
    const LinkReply answer = responder(sent);
    const auto count = std::min<std::size_t>(answer.bytes.size(), replyLength);
    std::memcpy(reply, answer.bytes.constData(), count);
    return answer.result;
}

ScriptedUnitLink::Responder FakeUnitPackets::Responder() const {
    return [packets = *this](const QByteArray& frame) {
        const auto packet = static_cast<std::uint8_t>(frame.at(1));
        if (frame.size() == kDataFrameLength)
            return LinkReply::Bytes(QByteArray::fromHex("010104"));
        switch (packet) {
        case Packet::Status:
            return LinkReply::Data(packet, packets.status);
        case Packet::UnitSettings:
            if (!packets.answersUnitSettings)
                return LinkReply::Bytes(QByteArray::fromHex("010204"));
            return LinkReply::Data(packet, packets.unitSettings);
        case Packet::FanSettings:
            return LinkReply::Data(packet, packets.fanSettings);
        case Packet::DisplayLine1:
            return LinkReply::Data(packet, packets.line1);
        default:
            return LinkReply::Bytes(QByteArray::fromHex("018504"));
        }
    };
}

QByteArray PayloadWithWord(QByteArray payload, int offset, int value) {
    payload[offset] = char(value & 0xFF);
    payload[offset + 1] = char((value >> 8) & 0xFF);
    return payload;
}

QByteArray Hex(const QByteArray& bytes) {
    return bytes.toHex(' ');
}
