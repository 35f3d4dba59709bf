#pragma once

#include "protocol/Frame.h"
#include "protocol/UnitData.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <deque>
#include <optional>

// A simulated cooling unit: its controller's state codes, a first-order thermal model of the
// evaporator and the ambient sensor, two fans, the operating hours, the display lines and the
// two settings blocks, and the unit's side of every frame exchange.
//
// The model owns no clock: the caller moves time on with Advance(), so tests are exact and the
// program drives it from a real clock. Everything is deterministic; the small ripple on the
// readings is a function of model time, not of a random generator.
class UnitModel {
public:
    enum class Fan { Front, Rear };

    // State codes the unit's controller goes through on its own.
    static constexpr std::uint8_t kStatePowerUp = 0;
    static constexpr std::uint8_t kStateRunning = 1;
    static constexpr std::uint8_t kStateBootDelay = 2;
    static constexpr std::uint8_t kStatePowerDown = 5;
    static constexpr std::uint8_t kStateIdle = 6;

    // The raw reading of a sensor that is not fitted.
    static constexpr std::int16_t kAbsentTenths = -990;
    // Where the evaporator settles with the compressor on, and with it off.
    static constexpr int kCooledTenths = -410;
    static constexpr int kRoomTenths = 220;
    static constexpr int kPowerUpMs = 3000;
    static constexpr int kPowerDownMs = 10000;
    static constexpr int kDefaultHours = 1234;

    // The unit as it is found once the PC has booted: running, evaporator cold, fans at their
    // low speed, sensors 3 to 5 not fitted.
    UnitModel();

    // Moves model time on by `ms` milliseconds.
    void Advance(std::int64_t ms);
    std::int64_t ElapsedMs() const { return clockMs; }

    // The unit's answer to one frame from the control centre; nothing while silent. Every
    // frame counts and takes effect, silent or not.
    std::optional<QByteArray> HandleFrame(const QByteArray& frame);

    // Replays a power-up: POWER UP, then BOOT DELAY while the evaporator cools down from room
    // temperature to the boot temperature, then running.
    void Boot();

    // A held state code replaces the reported one only; the controller underneath goes on.
    void HoldState(std::uint8_t code) { heldState = code; }
    void ReleaseState() { heldState.reset(); }

    // Sensors are numbered 1 to 5. A held value or an absent sensor stays until released.
    void HoldTemperature(int sensor, std::int16_t tenths);
    void SetSensorAbsent(int sensor);
    void ReleaseTemperature(int sensor);

    void HoldFan(Fan fan, std::uint16_t rpm);
    void ReleaseFan(Fan fan);

    void SetHours(std::uint16_t hours);
    void SetDisplayVariant(char variant) { unitSettings[3] = static_cast<std::uint8_t>(variant); }
    void SetTemperatureLetter(char letter) { unitSettings[1] = static_cast<std::uint8_t>(letter); }

    void SetSilent(bool on) { silent = on; }
    bool Silent() const { return silent; }
    // Queues bytes to be sent, exactly as given, instead of the next reply.
    void QueueReply(const QByteArray& bytes) { queuedReplies.push_back(bytes); }

    // The state code as the unit reports it.
    std::uint8_t StateCode() const;
    bool CompressorOn() const;
    // The five readings as reported, tenths of a degree Celsius, kAbsentTenths when absent.
    std::array<std::int16_t, kSensorCount> Temperatures() const;
    std::uint16_t FanRpm(Fan fan) const;
    std::uint16_t Hours() const;

    Payload StatusPayload() const;
    const Payload& UnitSettings() const { return unitSettings; }
    const FanSettingsBlock& FanSettings() const { return fanSettings; }
    // The last payload of packet 6 (line 1) or 7 (line 2) received; none before the first.
    const std::optional<Payload>& ReceivedLine(int line) const;

    int ShutdownCommands() const { return shutdownCommands; }
    int FramesReceived() const { return framesReceived; }

private:
    enum class Phase { PowerUp, BootDelay, Running, PowerDown, Idle };
    enum class SensorMode { Model, Held, Absent };

    struct SensorOverride {
        SensorMode mode = SensorMode::Model;
        std::int16_t tenths = 0;
    };

    void Step(int ms);
    void StartShutdown();
    QByteArray Answer(const QByteArray& frame);
    Payload StoredLine(int line) const;
    // The evaporator as the unit's controller sees it: the reported reading, none if absent.
    std::optional<int> EvaporatorReading() const;
    double CommandedRpm(Fan fan) const;
    int Ripple(std::int64_t periodMs, int amplitudeTenths) const;

    std::int64_t clockMs = 0;
    Phase phase = Phase::Running;
    std::int64_t phaseMs = 0;
    std::optional<std::uint8_t> heldState;

    double evaporatorTenths = kCooledTenths;
    std::array<SensorOverride, kSensorCount> sensors;

    std::array<double, 2> fanRpm{};
    std::array<std::optional<std::uint16_t>, 2> heldFanRpm;

    std::int64_t runningMs = 0;
    Payload unitSettings{};
    FanSettingsBlock fanSettings;
    std::array<std::optional<Payload>, 2> receivedLines;

    bool silent = false;
    std::deque<QByteArray> queuedReplies;
    int shutdownCommands = 0;
    int framesReceived = 0;
};
