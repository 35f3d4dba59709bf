#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

// Frame bytes shared by both directions.
constexpr std::uint8_t kStartByte = 0x01;  // SOH
constexpr std::uint8_t kDataMarker = 0x02; // STX
constexpr std::uint8_t kEndByte = 0x04;    // EOT

constexpr int kRequestFrameLength = 3;
constexpr int kDataFrameLength = 28;
constexpr int kPayloadLength = 24;
// A frame of neither form still goes out, with this length, after the size message.
constexpr int kUnknownFrameLength = 4;

// Frames are built in a zero-filled area of 30 bytes.
using Frame = std::array<std::uint8_t, 30>;
using Payload = std::array<std::uint8_t, kPayloadLength>;

// Packet numbers.
namespace Packet {
constexpr std::uint8_t Status = 1;
constexpr std::uint8_t UnitSettings = 2;
constexpr std::uint8_t FanSettings = 3;
constexpr std::uint8_t DisplayLine1 = 6;
constexpr std::uint8_t DisplayLine2 = 7;
constexpr std::uint8_t Shutdown = 0x85;
} // namespace Packet

// Receive area: cleared before each read; the payload text handed to a decoder is its bytes
// 3..99, so every decoder gets 97 characters whatever the reply's length.
constexpr int kReceiveAreaSize = 100;
constexpr int kPayloadTextLength = kReceiveAreaSize - 3;
using ReceiveArea = std::array<std::uint8_t, kReceiveAreaSize>;

Frame RequestFrame(std::uint8_t packet);
Frame DataFrame(std::uint8_t packet, const Payload& payload);

// 3 for a request frame, 28 for a data frame, nothing for a frame of neither form.
std::optional<int> FrameLength(const Frame& frame);

// Both reply lengths the unit uses; anything else means the link is gone.
bool IsValidReplyLength(std::uint32_t count);
// A reply carries data when it starts with SOH and has the data marker at byte 2.
bool IsDataReply(const ReceiveArea& reply);
QByteArray PayloadText(const ReceiveArea& reply);
