#include "display/DisplayLines.h"

#include "settings/TemperatureUnits.h"

namespace {

// Degree signs of the unit's own display character sets, by display variant.
constexpr std::uint8_t kVariantW = 'W';
constexpr std::uint8_t kVariantE = 'E';
constexpr char kDegreeSignW = char(0xB2);
constexpr char kDegreeSignE = char(0xDF);

QByteArray TemperaturePart(std::int32_t celsius, const Line2Inputs& inputs) {
    const std::int32_t shown =
        inputs.celsius ? celsius : static_cast<std::int32_t>(CelsiusToFahrenheit(celsius));
    QByteArray part = QByteArray::number(shown);
    if (inputs.displayVariant == kVariantW)
        part.append(kDegreeSignW);
    else if (inputs.displayVariant == kVariantE)
        part.append(kDegreeSignE);
    return part;
}

QByteArray ParameterPart(int item, const Line2Inputs& inputs) {
    switch (item) {
    case kParamEvaporatorTemp:
    case kParamSensor2Temp:
    case kParamSensor3Temp:
    case kParamSensor4Temp:
    case kParamSensor5Temp:
        return TemperaturePart(inputs.temperatures[item], inputs);
    case kParamCpuSpeed:
        return QByteArray::number(inputs.cpuSpeedMHz) + "MHz";
    case kParamCpuLoad:
        return QByteArray::number(inputs.cpuLoadPercent) + "%";
    case kParamBlank:
        return QByteArray(4, ' ');
    default:
        return {};
    }
}

} // namespace

QByteArray ComposeLine2Text(const Line2Inputs& inputs) {
    QByteArray line = ParameterPart(inputs.parameters[0], inputs);
    line.append(' ');
    line.append(ParameterPart(inputs.parameters[1], inputs));
    line.append(' ');
    line.append(ParameterPart(inputs.parameters[2], inputs));
    return line;
}

std::optional<int> DisplayIntervalMs(int item) {
    constexpr std::array<int, kDisplayIntervalNeverItem> kIntervals{5000,   10000,  30000, 60000,
                                                                    180000, 300000, 600000};
    if (item < 0 || item >= kDisplayIntervalNeverItem)
        return std::nullopt;
    return kIntervals[item];
}
