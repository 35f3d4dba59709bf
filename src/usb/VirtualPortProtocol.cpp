#include "usb/VirtualPortProtocol.h"

namespace VirtualPort {

QByteArray Encode(MessageType type, const QByteArray& body) {
    const auto length = static_cast<std::uint32_t>(body.size() + 1);
    QByteArray message;
    message.reserve(static_cast<qsizetype>(length + 4));
    for (int shift = 0; shift < 32; shift += 8)
        message.append(static_cast<char>((length >> shift) & 0xFF));
    message.append(static_cast<char>(type));
    message.append(body);
    return message;
}

QByteArray EncodeHello(const Hello& hello) {
    QByteArray body;
    body.append(static_cast<char>(hello.version));
    body.append(static_cast<char>(hello.interfaceNumber));
    body.append(static_cast<char>(hello.simulated ? kFlagSimulated : 0));
    return Encode(MessageType::Hello, body);
}

std::optional<Hello> DecodeHello(const QByteArray& body) {
    if (body.size() < 3 || static_cast<std::uint8_t>(body.at(0)) != kProtocolVersion)
        return std::nullopt;
    Hello hello;
    hello.interfaceNumber = static_cast<std::uint8_t>(body.at(1));
    hello.simulated = (static_cast<std::uint8_t>(body.at(2)) & kFlagSimulated) != 0;
    return hello;
}

std::optional<Message> MessageReader::Next() {
    if (failed || buffer.size() < 4)
        return std::nullopt;
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(buffer.at(i))) << (8 * i);
    if (length == 0 || length > kMaxMessageLength) {
        failed = true;
        return std::nullopt;
    }
    if (static_cast<std::uint32_t>(buffer.size()) < 4 + length)
        return std::nullopt;
    const auto type = static_cast<std::uint8_t>(buffer.at(4));
    if (type < static_cast<std::uint8_t>(MessageType::Hello) ||
        type > static_cast<std::uint8_t>(MessageType::Reply)) {
        failed = true;
        return std::nullopt;
    }
    Message message{static_cast<MessageType>(type), buffer.mid(5, length - 1)};
    buffer.remove(0, 4 + length);
    return message;
}

} // namespace VirtualPort
