#include "sim/UnitModel.h"

#include "protocol/PacketCodec.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

// Time constants of the first-order responses. The evaporator cools fast with the compressor
// on (a boot delay to -33 °C takes about half a minute) and warms slowly once it is off.
constexpr double kCoolingTauMs = 15000.0;
constexpr double kWarmingTauMs = 60000.0;
constexpr double kFanTauMs = 1500.0;
// Long steps are cut so that phase changes land within this much of their moment.
constexpr int kMaxStepMs = 100;
constexpr std::int64_t kMsPerHour = 3600000;

constexpr int kAmbientTenths = 260;

void PutWord(Payload& payload, int offset, int value) {
    const auto word = static_cast<std::uint16_t>(value);
    payload[offset] = static_cast<std::uint8_t>(word & 0xFF);
    payload[offset + 1] = static_cast<std::uint8_t>(word >> 8);
}

QByteArray DataReply(std::uint8_t packet, const Payload& payload) {
    const Frame frame = DataFrame(packet, payload);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), kDataFrameLength);
}

QByteArray ShortReply(std::uint8_t packet) {
    const char bytes[] = {static_cast<char>(kStartByte), static_cast<char>(packet),
                          static_cast<char>(kEndByte)};
    return QByteArray(bytes, sizeof bytes);
}

std::uint8_t ByteAt(const QByteArray& bytes, int offset) {
    return static_cast<std::uint8_t>(bytes.at(offset));
}

Payload PayloadOf(const QByteArray& dataFrame) {
    Payload payload{};
    for (int i = 0; i < kPayloadLength; ++i)
        payload[i] = ByteAt(dataFrame, 3 + i);
    return payload;
}

Payload DefaultUnitSettings() {
    Payload block{};
    block[0] = 0x01;
    block[1] = 'C';
    block[2] = 2;
    block[3] = 'W';
    // Controller parameters the control centre sends back untouched; any fixed values do.
    const std::array<std::uint8_t, 10> parameters{0x0A, 0x14, 0x00, 0x3C, 0x05,
                                                  0x00, 0x00, 0x00, 0x01, 0x00};
    std::copy(parameters.begin(), parameters.end(), block.begin() + 4);
    PutWord(block, 14, 600);
    PutWord(block, 17, UnitModel::kDefaultHours);
    PutWord(block, 19, 300);
    return block;
}

FanSettingsBlock DefaultFanSettings() {
    FanSettingsBlock block;
    block.fanLimitRpm = 2100;
    block.frontFanLowRpm = 1100;
    block.frontFanHighRpm = 1400;
    block.bootTempTenths = -330;
    block.words4to7 = {150, 60, 30, 0};
    block.rearFanLowRpm = 1100;
    block.rearFanHighRpm = 1400;
    block.bytes20to23 = {0x01, 0x00, 0x00, 0x00};
    return block;
}

Payload DefaultLine(const char* text) {
    Payload line;
    line.fill(' ');
    for (int i = 0; text[i] != '\0' && i < kPayloadLength; ++i)
        line[i] = static_cast<std::uint8_t>(text[i]);
    return line;
}

std::size_t FanIndex(UnitModel::Fan fan) {
    return fan == UnitModel::Fan::Front ? 0 : 1;
}

std::size_t SensorIndex(int sensor) {
    if (sensor < 1 || sensor > kSensorCount)
        throw std::out_of_range("sensor number must be 1 to 5");
    return static_cast<std::size_t>(sensor - 1);
}

double Approach(double value, double target, double ms, double tauMs) {
    return value + (target - value) * (1.0 - std::exp(-ms / tauMs));
}

} // namespace

UnitModel::UnitModel() : unitSettings(DefaultUnitSettings()), fanSettings(DefaultFanSettings()) {
    for (std::size_t i = 2; i < sensors.size(); ++i)
        sensors[i].mode = SensorMode::Absent;
    // Found running: the fans have long reached their speeds.
    fanRpm = {CommandedRpm(Fan::Front), CommandedRpm(Fan::Rear)};
}

void UnitModel::Advance(std::int64_t ms) {
    while (ms > 0) {
        const int step = static_cast<int>(std::min<std::int64_t>(ms, kMaxStepMs));
        Step(step);
        ms -= step;
    }
}

void UnitModel::Step(int ms) {
    clockMs += ms;
    phaseMs += ms;
    if (phase == Phase::PowerUp && phaseMs >= kPowerUpMs) {
        phase = Phase::BootDelay;
        phaseMs = 0;
    } else if (phase == Phase::PowerDown && phaseMs >= kPowerDownMs) {
        phase = Phase::Idle;
        phaseMs = 0;
    }

    const bool cooling = CompressorOn();
    evaporatorTenths = Approach(evaporatorTenths, cooling ? kCooledTenths : kRoomTenths, ms,
                                cooling ? kCoolingTauMs : kWarmingTauMs);

    if (phase == Phase::BootDelay) {
        const std::optional<int> evaporator = EvaporatorReading();
        if (evaporator && *evaporator <= fanSettings.bootTempTenths) {
            phase = Phase::Running;
            phaseMs = 0;
        }
    }

    for (const Fan fan : {Fan::Front, Fan::Rear}) {
        double& rpm = fanRpm[FanIndex(fan)];
        rpm = Approach(rpm, CommandedRpm(fan), ms, kFanTauMs);
    }

    if (cooling) {
        runningMs += ms;
        if (runningMs >= kMsPerHour) {
            runningMs -= kMsPerHour;
            SetHours(static_cast<std::uint16_t>(Hours() + 1));
        }
    }
}

void UnitModel::Boot() {
    phase = Phase::PowerUp;
    phaseMs = 0;
    evaporatorTenths = kRoomTenths;
    fanRpm = {0.0, 0.0};
}

void UnitModel::StartShutdown() {
    ++shutdownCommands;
    // A unit that is already stopping or stopped has nothing more to do.
    if (phase == Phase::PowerDown || phase == Phase::Idle)
        return;
    phase = Phase::PowerDown;
    phaseMs = 0;
}

std::optional<QByteArray> UnitModel::HandleFrame(const QByteArray& frame) {
    ++framesReceived;
    QByteArray reply = Answer(frame);
    if (silent)
        return std::nullopt;
    if (!queuedReplies.empty()) {
        reply = queuedReplies.front();
        queuedReplies.pop_front();
    }
    return reply;
}

QByteArray UnitModel::Answer(const QByteArray& frame) {
    const std::uint8_t packet = frame.size() > 1 ? ByteAt(frame, 1) : 0;
    const bool request = frame.size() == kRequestFrameLength && ByteAt(frame, 0) == kStartByte &&
                         ByteAt(frame, 2) == kEndByte;
    const bool data = frame.size() == kDataFrameLength && ByteAt(frame, 0) == kStartByte &&
                      ByteAt(frame, 2) == kDataMarker &&
                      ByteAt(frame, kDataFrameLength - 1) == kEndByte;

    if (request) {
        switch (packet) {
        case Packet::Status:
            return DataReply(packet, StatusPayload());
        case Packet::UnitSettings:
            return DataReply(packet, unitSettings);
        case Packet::FanSettings:
            return DataReply(packet, EncodeFanSettings(fanSettings));
        case Packet::DisplayLine1:
            return DataReply(packet, StoredLine(1));
        case Packet::Shutdown:
            StartShutdown();
            return ShortReply(packet);
        default:
            return ShortReply(packet);
        }
    }
    if (data) {
        const Payload payload = PayloadOf(frame);
        switch (packet) {
        case Packet::UnitSettings:
            // Stored as sent, whatever byte 2 says: the unit takes what it is given.
            unitSettings = payload;
            return DataReply(packet, unitSettings);
        case Packet::FanSettings:
            fanSettings = DecodeFanSettings(
                QByteArray(reinterpret_cast<const char*>(payload.data()), kPayloadLength));
            return DataReply(packet, EncodeFanSettings(fanSettings));
        case Packet::DisplayLine1:
        case Packet::DisplayLine2: {
            const int line = packet == Packet::DisplayLine1 ? 1 : 2;
            receivedLines[static_cast<std::size_t>(line - 1)] = payload;
            return DataReply(packet, payload);
        }
        default:
            return ShortReply(packet);
        }
    }
    return ShortReply(packet);
}

void UnitModel::HoldTemperature(int sensor, std::int16_t tenths) {
    sensors[SensorIndex(sensor)] = {SensorMode::Held, tenths};
}

void UnitModel::SetSensorAbsent(int sensor) {
    sensors[SensorIndex(sensor)] = {SensorMode::Absent, 0};
}

void UnitModel::ReleaseTemperature(int sensor) {
    // Only sensors 1 and 2 are fitted; the model has no reading for the others.
    const std::size_t index = SensorIndex(sensor);
    sensors[index] = {index < 2 ? SensorMode::Model : SensorMode::Absent, 0};
}

void UnitModel::HoldFan(Fan fan, std::uint16_t rpm) {
    heldFanRpm[FanIndex(fan)] = rpm;
}

void UnitModel::ReleaseFan(Fan fan) {
    heldFanRpm[FanIndex(fan)].reset();
}

void UnitModel::SetHours(std::uint16_t hours) {
    PutWord(unitSettings, 17, hours);
}

std::uint16_t UnitModel::Hours() const {
    return static_cast<std::uint16_t>(unitSettings[17] | (unitSettings[18] << 8));
}

std::uint8_t UnitModel::StateCode() const {
    if (heldState)
        return *heldState;
    switch (phase) {
    case Phase::PowerUp:
        return kStatePowerUp;
    case Phase::BootDelay:
        return kStateBootDelay;
    case Phase::Running:
        return kStateRunning;
    case Phase::PowerDown:
        return kStatePowerDown;
    case Phase::Idle:
        return kStateIdle;
    }
    return kStateRunning;
}

bool UnitModel::CompressorOn() const {
    return phase == Phase::BootDelay || phase == Phase::Running;
}

int UnitModel::Ripple(std::int64_t periodMs, int amplitudeTenths) const {
    const double angle =
        2.0 * std::numbers::pi * static_cast<double>(clockMs % periodMs) / periodMs;
    return static_cast<int>(std::lround(amplitudeTenths * std::sin(angle)));
}

std::array<std::int16_t, kSensorCount> UnitModel::Temperatures() const {
    std::array<std::int16_t, kSensorCount> tenths{};
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        switch (sensors[i].mode) {
        case SensorMode::Held:
            tenths[i] = sensors[i].tenths;
            break;
        case SensorMode::Absent:
            tenths[i] = kAbsentTenths;
            break;
        case SensorMode::Model:
            // Periods that share no factor keep the two readings from moving in step.
            tenths[i] = static_cast<std::int16_t>(
                i == 0 ? std::lround(evaporatorTenths) + Ripple(47000, 3)
                       : kAmbientTenths + Ripple(600000, 15) + Ripple(29000, 2));
            break;
        }
    }
    return tenths;
}

std::optional<int> UnitModel::EvaporatorReading() const {
    if (sensors[0].mode == SensorMode::Absent)
        return std::nullopt;
    return Temperatures()[0];
}

double UnitModel::CommandedRpm(Fan fan) const {
    const bool front = fan == Fan::Front;
    const int low = front ? fanSettings.frontFanLowRpm : fanSettings.rearFanLowRpm;
    const int high = front ? fanSettings.frontFanHighRpm : fanSettings.rearFanHighRpm;
    // Quiet once the evaporator is down at its set point; full air while it is above.
    const std::optional<int> evaporator = EvaporatorReading();
    int rpm = evaporator && *evaporator <= fanSettings.bootTempTenths ? low : high;
    if (fanSettings.fanLimitRpm > 0)
        rpm = std::min(rpm, fanSettings.fanLimitRpm);
    return rpm;
}

std::uint16_t UnitModel::FanRpm(Fan fan) const {
    const std::size_t index = FanIndex(fan);
    if (heldFanRpm[index])
        return *heldFanRpm[index];
    return static_cast<std::uint16_t>(std::clamp<long>(std::lround(fanRpm[index]), 0, 65535));
}

Payload UnitModel::StatusPayload() const {
    Payload payload{};
    payload[2] = StateCode();
    const auto temperatures = Temperatures();
    for (int i = 0; i < kSensorCount; ++i)
        PutWord(payload, 3 + 2 * i, temperatures[static_cast<std::size_t>(i)]);
    PutWord(payload, 13, FanRpm(Fan::Front));
    PutWord(payload, 15, FanRpm(Fan::Rear));
    return payload;
}

const std::optional<Payload>& UnitModel::ReceivedLine(int line) const {
    return receivedLines[line == 1 ? 0 : 1];
}

Payload UnitModel::StoredLine(int line) const {
    const std::optional<Payload>& received = ReceivedLine(line);
    if (received)
        return *received;
    // What the unit's display shows on its own before the control centre writes to it.
    return line == 1 ? DefaultLine("   TARVIK II") : DefaultLine("");
}
