#include "protocol/Frame.h"

#include <algorithm>

Frame RequestFrame(std::uint8_t packet) {
    Frame frame{};
    frame[0] = kStartByte;
    frame[1] = packet;
    frame[2] = kEndByte;
    return frame;
}

Frame DataFrame(std::uint8_t packet, const Payload& payload) {
    Frame frame{};
    frame[0] = kStartByte;
    frame[1] = packet;
    frame[2] = kDataMarker;
    std::copy(payload.begin(), payload.end(), frame.begin() + 3);
    frame[kDataFrameLength - 1] = kEndByte;
    return frame;
}

std::optional<int> FrameLength(const Frame& frame) {
    if (frame[0] == kStartByte && frame[2] == kEndByte)
        return kRequestFrameLength;
    if (frame[0] == kStartByte && frame[kDataFrameLength - 1] == kEndByte)
        return kDataFrameLength;
    return std::nullopt;
}

bool IsValidReplyLength(std::uint32_t count) {
    return count == kRequestFrameLength || count == kDataFrameLength;
}

bool IsDataReply(const ReceiveArea& reply) {
    return reply[0] == kStartByte && reply[2] == kDataMarker;
}

QByteArray PayloadText(const ReceiveArea& reply) {
    return QByteArray(reinterpret_cast<const char*>(reply.data()) + 3, kPayloadTextLength);
}
