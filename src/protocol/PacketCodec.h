#pragma once

#include "protocol/Frame.h"
#include "protocol/UnitData.h"

#include <QByteArray>
#include <QString>

// What one status packet reports.
struct StatusReading {
    std::uint8_t unitState = 0;
    std::array<std::int32_t, kSensorCount> temperatures{};
    std::int32_t frontFanRpm = 0;
    std::int32_t rearFanRpm = 0;
};

// Decoders read only the first 24 payload bytes; a shorter text is padded with zeros.
QByteArray FitPayload(const QByteArray& payloadText);

StatusReading DecodeStatus(const QByteArray& payloadText);
void StoreStatus(const StatusReading& reading, UnitData& data);

UnitSettingsBlock DecodeUnitSettings(const QByteArray& payloadText);
FanSettingsBlock DecodeFanSettings(const QByteArray& payloadText);
// Stores a display line echo: line 1 (packet 6) in the first half, line 2 in the second.
void StoreDisplayEcho(const QByteArray& payloadText, int line, UnitData& data);

Payload EncodeUnitSettings(const UnitSettingsBlock& block);
Payload EncodeFanSettings(const FanSettingsBlock& block);
// A display line: its first 16 bytes, padded with spaces, then 8 spaces.
Payload EncodeTextLine(const QByteArray& text);
// A line of 24 spaces, sent at close to blank the display.
Payload BlankLine();

// Texts go to the unit as Latin-1 bytes; a character outside Latin-1 becomes '?'.
QByteArray ToUnitText(const QString& text);
