#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// Messages on the virtual unit port, a Unix stream socket. Every message is a 32-bit
// little-endian length (of the type byte and the body), a type byte and the body.
//
// A simulated unit connects (the plug), sends Hello, then answers each Frame with at most one
// Reply; the control centre reads that reply with its next IN transfer. Closing the connection
// is the unplug.
namespace VirtualPort {

enum class MessageType : std::uint8_t {
    // unit -> control centre: version, number of the unit's first interface, flags
    Hello = 1,
    // control centre -> unit: the bytes of one OUT transfer on pipe 2
    Frame = 2,
    // unit -> control centre: the bytes the next IN transfer on pipe 0x81 reads
    Reply = 3,
};

constexpr std::uint8_t kProtocolVersion = 1;
constexpr std::uint8_t kFlagSimulated = 0x01;
// Longer messages are a protocol error; the connection is dropped.
constexpr std::uint32_t kMaxMessageLength = 4096;

struct Message {
    MessageType type;
    QByteArray body;
};

struct Hello {
    std::uint8_t version = kProtocolVersion;
    std::uint8_t interfaceNumber = 0;
    bool simulated = true;
};

QByteArray Encode(MessageType type, const QByteArray& body);
QByteArray EncodeHello(const Hello& hello);
std::optional<Hello> DecodeHello(const QByteArray& body);

// Collects bytes from the socket and hands out whole messages.
class MessageReader {
public:
    void Append(const QByteArray& bytes) { buffer.append(bytes); }
    // The next whole message, if one has arrived.
    std::optional<Message> Next();
    // True once the stream carried something that is no message; the peer is broken.
    bool Failed() const { return failed; }

private:
    QByteArray buffer;
    bool failed = false;
};

} // namespace VirtualPort
