#pragma once

#include "usb/UsbDeviceInfo.h"

#include <cstdint>
#include <vector>

// The USB driver as the device layer sees it: every request is one synchronous call on a
// driver handle that answers a status (0 = success).
namespace UsbDriverRequests {
using DriverHandle = std::int64_t;
constexpr DriverHandle kInvalidHandle = -1;

// Which devices a registration reports; a field of 0 matches any value.
struct MatchTable {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint8_t deviceClass = 0;
    std::uint8_t deviceSubClass = 0;
    std::uint8_t interfaceClass = 0;
    std::uint8_t interfaceSubClass = 0;
    std::uint8_t interfaceProtocol = 0;
};

namespace Action {
constexpr std::uint32_t Insert = 0x1;
constexpr std::uint32_t Remove = 0x2;
// The ten power-change actions, 0x10 .. 0x2000.
constexpr std::uint32_t PowerChanges = 0x3FF0;
} // namespace Action

namespace EventOption {
// The driver wants the event sent back.
constexpr std::uint32_t Acknowledge = 0x1;
// Set on a sent-back insert when the program takes the device.
constexpr std::uint32_t AcceptControl = 0x2;
} // namespace EventOption

struct Event {
    std::uint32_t eventHandle = 0;
    std::uint32_t action = 0;
    std::uint32_t uniqueId = 0;
    std::uint32_t options = 0;
};

enum class NotificationState : std::uint32_t { Event = 0, Stopped = 1, Interrupted = 2 };
} // namespace UsbDriverRequests

class UsbDriverPort {
public:
    using DriverHandle = UsbDriverRequests::DriverHandle;
    using MatchTable = UsbDriverRequests::MatchTable;
    using Event = UsbDriverRequests::Event;
    using NotificationState = UsbDriverRequests::NotificationState;

    virtual ~UsbDriverPort() = default;

    virtual std::uint32_t Open(DriverHandle& handle) = 0;
    virtual void Close(DriverHandle handle) = 0;
    virtual std::uint32_t Version(DriverHandle handle, std::uint32_t& version) = 0;

    // Registers for the events of the action mask on devices matching one of the tables; the
    // driver assigns the event handle.
    virtual std::uint32_t EventRegister(DriverHandle handle, const std::vector<MatchTable>& tables,
                                        std::uint32_t actions, std::uint32_t options,
                                        std::uint32_t& eventHandle) = 0;
    virtual std::uint32_t EventUnregister(DriverHandle handle, std::uint32_t eventHandle) = 0;
    // The next pending event of the registration; action 0 when there is none.
    virtual std::uint32_t EventPull(DriverHandle handle, Event& event) = 0;
    virtual std::uint32_t EventSendBack(DriverHandle handle, const Event& event) = 0;

    virtual std::uint32_t NotificationEnable(DriverHandle handle, std::uint32_t eventHandle) = 0;
    // Blocks until the registration has an event to pull or notification was disabled.
    virtual std::uint32_t NotificationWait(DriverHandle handle, std::uint32_t eventHandle,
                                           NotificationState& state) = 0;
    virtual std::uint32_t NotificationDisable(DriverHandle handle, std::uint32_t eventHandle) = 0;

    virtual std::uint32_t DeviceInfo(DriverHandle handle, std::uint32_t uniqueId,
                                     UsbDeviceInfo& info) = 0;
    virtual std::uint32_t SetInterface(DriverHandle handle, std::uint32_t uniqueId,
                                       std::uint8_t interfaceNumber,
                                       std::uint8_t alternateSetting) = 0;
    virtual std::uint32_t ResetPipe(DriverHandle handle, std::uint32_t uniqueId,
                                    std::uint8_t pipe) = 0;
    virtual std::uint32_t Transfer(DriverHandle handle, std::uint32_t uniqueId, std::uint8_t pipe,
                                   bool read, std::uint32_t options, std::uint8_t* buffer,
                                   std::uint32_t length, std::uint32_t& transferred,
                                   const std::uint8_t* setupPacket, std::uint32_t timeoutMs) = 0;
};
