#include "protocol/PacketCodec.h"

#include <QList>

#include <algorithm>

namespace {

std::uint8_t ByteAt(const QByteArray& bytes, int offset) {
    return static_cast<std::uint8_t>(bytes.at(offset));
}

std::uint16_t WordAt(const QByteArray& bytes, int offset) {
    return static_cast<std::uint16_t>(ByteAt(bytes, offset) | (ByteAt(bytes, offset + 1) << 8));
}

std::int16_t SignedWordAt(const QByteArray& bytes, int offset) {
    return static_cast<std::int16_t>(WordAt(bytes, offset));
}

// Words go out as their low 16 bits, negative values in two's complement.
void PutWord(Payload& payload, int offset, std::int32_t value) {
    const auto word = static_cast<std::uint16_t>(value);
    payload[offset] = static_cast<std::uint8_t>(word & 0xFF);
    payload[offset + 1] = static_cast<std::uint8_t>(word >> 8);
}

template <std::size_t N>
void CopyBytesOut(const QByteArray& bytes, int offset, std::array<std::uint8_t, N>& target) {
    for (std::size_t i = 0; i < N; ++i)
        target[i] = ByteAt(bytes, offset + static_cast<int>(i));
}

template <std::size_t N>
void CopyBytesIn(Payload& payload, int offset, const std::array<std::uint8_t, N>& source) {
    std::copy(source.begin(), source.end(), payload.begin() + offset);
}

} // namespace

QByteArray FitPayload(const QByteArray& payloadText) {
    QByteArray payload = payloadText.left(kPayloadLength);
    payload.append(kPayloadLength - payload.size(), '\0');
    return payload;
}

StatusReading DecodeStatus(const QByteArray& payloadText) {
    const QByteArray payload = FitPayload(payloadText);
    StatusReading reading;
    reading.unitState = ByteAt(payload, 2);
    for (int i = 0; i < kSensorCount; ++i) {
        // Tenths of a degree; C++ division truncates toward zero, so -990..-999 all give -99.
        reading.temperatures[i] = SignedWordAt(payload, 3 + 2 * i) / 10;
    }
    reading.frontFanRpm = WordAt(payload, 13);
    reading.rearFanRpm = WordAt(payload, 15);
    return reading;
}

void StoreStatus(const StatusReading& reading, UnitData& data) {
    data.unitState = reading.unitState;
    for (int i = 0; i < kSensorCount; ++i)
        data.sensors[i].temperature = reading.temperatures[i];
    data.frontFanRpm = reading.frontFanRpm;
    data.rearFanRpm = reading.rearFanRpm;
}

UnitSettingsBlock DecodeUnitSettings(const QByteArray& payloadText) {
    const QByteArray payload = FitPayload(payloadText);
    UnitSettingsBlock block;
    block.byte0 = ByteAt(payload, 0);
    block.tempUnitLetter = ByteAt(payload, 1);
    // The unit expects 2 here whatever it reported.
    block.byte2 = 2;
    block.displayVariant = ByteAt(payload, 3);
    CopyBytesOut(payload, 4, block.bytes4to13);
    block.word14 = WordAt(payload, 14);
    block.byte16 = ByteAt(payload, 16);
    block.operatingHours = WordAt(payload, 17);
    block.word19 = WordAt(payload, 19);
    CopyBytesOut(payload, 21, block.bytes21to23);
    return block;
}

FanSettingsBlock DecodeFanSettings(const QByteArray& payloadText) {
    const QByteArray payload = FitPayload(payloadText);
    FanSettingsBlock block;
    block.fanLimitRpm = WordAt(payload, 0);
    block.frontFanLowRpm = WordAt(payload, 2);
    block.frontFanHighRpm = WordAt(payload, 4);
    block.bootTempTenths = SignedWordAt(payload, 6);
    for (int i = 0; i < 4; ++i)
        block.words4to7[i] = WordAt(payload, 8 + 2 * i);
    // The unit's packet 3 has the same layout as the one the program sends back.
    block.rearFanLowRpm = WordAt(payload, 16);
    block.rearFanHighRpm = WordAt(payload, 18);
    CopyBytesOut(payload, 20, block.bytes20to23);
    return block;
}

void StoreDisplayEcho(const QByteArray& payloadText, int line, UnitData& data) {
    const QByteArray payload = FitPayload(payloadText);
    const int base = line == 1 ? 0 : kPayloadLength;
    for (int i = 0; i < kPayloadLength; ++i)
        data.displayEcho[base + i] = ByteAt(payload, i);
}

Payload EncodeUnitSettings(const UnitSettingsBlock& block) {
    Payload payload{};
    payload[0] = block.byte0;
    payload[1] = block.tempUnitLetter;
    payload[2] = block.byte2;
    payload[3] = block.displayVariant;
    CopyBytesIn(payload, 4, block.bytes4to13);
    PutWord(payload, 14, block.word14);
    payload[16] = block.byte16;
    PutWord(payload, 17, block.operatingHours);
    PutWord(payload, 19, block.word19);
    CopyBytesIn(payload, 21, block.bytes21to23);
    return payload;
}

Payload EncodeFanSettings(const FanSettingsBlock& block) {
    Payload payload{};
    PutWord(payload, 0, block.fanLimitRpm);
    PutWord(payload, 2, block.frontFanLowRpm);
    PutWord(payload, 4, block.frontFanHighRpm);
    PutWord(payload, 6, block.bootTempTenths);
    for (int i = 0; i < 4; ++i)
        PutWord(payload, 8 + 2 * i, block.words4to7[i]);
    PutWord(payload, 16, block.rearFanLowRpm);
    PutWord(payload, 18, block.rearFanHighRpm);
    CopyBytesIn(payload, 20, block.bytes20to23);
    return payload;
}

Payload EncodeTextLine(const QByteArray& text) {
    constexpr int kLineWidth = 16;
    Payload payload;
    payload.fill(' ');
    const int used = std::min<int>(text.size(), kLineWidth);
    for (int i = 0; i < used; ++i)
        payload[i] = static_cast<std::uint8_t>(text.at(i));
    return payload;
}

Payload BlankLine() {
    Payload payload;
    payload.fill(' ');
    return payload;
}

QByteArray ToUnitText(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t codePoint : text.toUcs4())
        bytes.append(codePoint <= 0xFF ? static_cast<char>(codePoint) : '?');
    return bytes;
}
