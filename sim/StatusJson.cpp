#include "sim/StatusJson.h"

#include "protocol/PacketCodec.h"
#include "sim/UnitModel.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

constexpr int kLineWidth = 16;

QString LineText(const std::optional<Payload>& line) {
    if (!line)
        return QString();
    return QString::fromLatin1(reinterpret_cast<const char*>(line->data()), kLineWidth);
}

QJsonObject FanSettingsObject(const FanSettingsBlock& block) {
    // The same bytes the unit sends in packet 3, read back word by word.
    const Payload payload = EncodeFanSettings(block);
    QJsonArray words;
    for (int i = 0; i < 10; ++i) {
        const auto word = static_cast<std::uint16_t>(payload[2 * i] | (payload[2 * i + 1] << 8));
        words.append(i == 3 ? static_cast<std::int16_t>(word) : word);
    }
    QJsonArray bytes;
    for (int i = 20; i < kPayloadLength; ++i)
        bytes.append(payload[i]);
    return {{"words", words}, {"bytes", bytes}};
}

} // namespace

QJsonObject StatusObject(const UnitModel& model, bool attached) {
    QJsonArray temps;
    for (const std::int16_t tenths : model.Temperatures())
        temps.append(tenths);
    const Payload& unitSettings = model.UnitSettings();
    return {
        {"state", model.StateCode()},
        {"temps", temps},
        {"fans", QJsonObject{{"front", model.FanRpm(UnitModel::Fan::Front)},
                             {"rear", model.FanRpm(UnitModel::Fan::Rear)}}},
        {"line1", LineText(model.ReceivedLine(1))},
        {"line2", LineText(model.ReceivedLine(2))},
        {"fanSettings", FanSettingsObject(model.FanSettings())},
        {"unitSettings",
         QString::fromLatin1(
             QByteArray(reinterpret_cast<const char*>(unitSettings.data()), kPayloadLength)
                 .toHex())},
        {"hours", model.Hours()},
        {"shutdownCommands", model.ShutdownCommands()},
        {"framesReceived", model.FramesReceived()},
        {"attached", attached},
    };
}

QByteArray StatusLine(const UnitModel& model, bool attached) {
    return QJsonDocument(StatusObject(model, attached)).toJson(QJsonDocument::Compact) + '\n';
}
