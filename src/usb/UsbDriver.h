#pragma once

#include "usb/UsbBackend.h"
#include "usb/UsbDriverPort.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

// The program's USB driver: it serves the device layer's requests from any number of backends
// at once (real hardware and simulated units look alike above it), turns their arrivals and
// removals into events for the registrations that match, and routes device requests to the
// backend that owns the device.
class UsbDriver : public UsbDriverPort, private UsbBackendSink {
public:
    static constexpr std::uint32_t kVersion = 700;

    explicit UsbDriver(std::vector<std::unique_ptr<UsbBackend>> backends);
    ~UsbDriver() override;

    // Starts the backends; the driver can be opened once at least one of them works.
    void Start();
    void Stop();

    std::uint32_t Open(DriverHandle& handle) override;
    void Close(DriverHandle handle) override;
    std::uint32_t Version(DriverHandle handle, std::uint32_t& version) override;
    std::uint32_t EventRegister(DriverHandle handle, const std::vector<MatchTable>& tables,
                                std::uint32_t actions, std::uint32_t options,
                                std::uint32_t& eventHandle) override;
    std::uint32_t EventUnregister(DriverHandle handle, std::uint32_t eventHandle) override;
    std::uint32_t EventPull(DriverHandle handle, Event& event) override;
    std::uint32_t EventSendBack(DriverHandle handle, const Event& event) override;
    std::uint32_t NotificationEnable(DriverHandle handle, std::uint32_t eventHandle) override;
    std::uint32_t NotificationWait(DriverHandle handle, std::uint32_t eventHandle,
                                   NotificationState& state) override;
    std::uint32_t NotificationDisable(DriverHandle handle, std::uint32_t eventHandle) override;
    std::uint32_t DeviceInfo(DriverHandle handle, std::uint32_t uniqueId,
                             UsbDeviceInfo& info) override;
    std::uint32_t SetInterface(DriverHandle handle, std::uint32_t uniqueId,
                               std::uint8_t interfaceNumber,
                               std::uint8_t alternateSetting) override;
    std::uint32_t ResetPipe(DriverHandle handle, std::uint32_t uniqueId,
                            std::uint8_t pipe) override;
    std::uint32_t Transfer(DriverHandle handle, std::uint32_t uniqueId, std::uint8_t pipe,
                           bool read, std::uint32_t options, std::uint8_t* buffer,
                           std::uint32_t length, std::uint32_t& transferred,
                           const std::uint8_t* setupPacket, std::uint32_t timeoutMs) override;

private:
    struct Device {
        UsbBackend* backend = nullptr;
        std::uint64_t key = 0;
        UsbDeviceInfo info;
        bool attached = true;
    };
    struct Registration {
        DriverHandle owner = UsbDriverRequests::kInvalidHandle;
        std::vector<MatchTable> tables;
        std::uint32_t actions = 0;
        std::uint32_t options = 0;
        std::deque<Event> pending;
        bool notifying = false;
        bool stopped = false;
    };
    struct Route {
        UsbBackend* backend = nullptr;
        std::uint64_t key = 0;
    };

    void DeviceArrived(UsbBackend& backend, std::uint64_t key, const UsbDeviceInfo& info) override;
    void DeviceLeft(UsbBackend& backend, std::uint64_t key) override;

    bool IsOpen(DriverHandle handle) const;
    static bool Matches(const Registration& registration, const UsbDeviceInfo& info);
    std::uint32_t SetNotifying(DriverHandle handle, std::uint32_t eventHandle, bool on);
    void Offer(std::uint32_t eventHandle, Registration& registration, std::uint32_t action,
               std::uint32_t uniqueId);
    // Looks the device up under the lock; requests then run on the copy, outside it.
    std::uint32_t RouteOf(DriverHandle handle, std::uint32_t uniqueId, Route& route) const;

    std::vector<std::unique_ptr<UsbBackend>> backends;
    std::vector<UsbBackend*> running;

    mutable std::mutex mutex;
    std::condition_variable eventsChanged;
    std::set<DriverHandle> openHandles;
    DriverHandle nextHandle = 1;
    std::map<std::uint32_t, Device> devices;
    std::uint32_t nextUniqueId = 1;
    std::map<std::uint32_t, Registration> registrations;
    std::uint32_t nextEventHandle = 1;
};
