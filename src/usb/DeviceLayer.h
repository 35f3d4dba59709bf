#pragma once

#include "usb/UsbDeviceInfo.h"
#include "usb/UsbDriverPort.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The user-mode USB layer: opens the driver, registers for the unit's events, keeps the list of
// attached devices and calls the program's attach and detach callbacks from a listener thread of
// its own. It reports failures only by status; its diagnostic lines go to the "tarvik.usb"
// logging category, which is off unless enabled through QT_LOGGING_RULES.

struct DriverCtx;
struct DeviceEntry;
using WDU_DRIVER_HANDLE = DriverCtx*;
using WDU_DEVICE_HANDLE = DeviceEntry*;
// The handle WDU_Init gives back on failure.
inline WDU_DRIVER_HANDLE InvalidDriverHandle() {
    return reinterpret_cast<WDU_DRIVER_HANDLE>(~std::uintptr_t{0});
}

using WDU_MATCH_TABLE = UsbDriverRequests::MatchTable;
using AttachCallback = bool (*)(WDU_DEVICE_HANDLE device, const UsbDeviceInfo* info,
                                void* userData);
using DetachCallback = void (*)(WDU_DEVICE_HANDLE device, void* userData);
using PowerChangeCallback = bool (*)(WDU_DEVICE_HANDLE device, std::uint32_t action,
                                     void* userData);

struct WDU_EVENT_TABLE {
    AttachCallback pfDeviceAttach = nullptr;
    DetachCallback pfDeviceDetach = nullptr;
    PowerChangeCallback pfPowerChange = nullptr;
    void* pUserData = nullptr;
};

// An auto-reset event: Wait lets one waiter through per Signal.
class AutoResetEvent {
public:
    bool Wait(std::chrono::milliseconds timeout);
    void Signal();

private:
    std::mutex mutex;
    std::condition_variable signalled;
    bool set = false;
};

class UsbDeviceLayer {
public:
    static constexpr std::uint32_t kMinimumDriverVersion = 601;

    explicit UsbDeviceLayer(UsbDriverPort& port,
                            std::chrono::milliseconds listLockTimeout = std::chrono::seconds(30));
    ~UsbDeviceLayer();
    UsbDeviceLayer(const UsbDeviceLayer&) = delete;
    UsbDeviceLayer& operator=(const UsbDeviceLayer&) = delete;

    std::uint32_t WDU_Init(WDU_DRIVER_HANDLE* driver, const WDU_MATCH_TABLE* matchTables,
                           std::uint32_t matchTableCount, const WDU_EVENT_TABLE* eventTable,
                           std::uint32_t options);
    void WDU_Uninit(WDU_DRIVER_HANDLE driver);

    std::uint32_t WDU_GetDeviceInfo(WDU_DEVICE_HANDLE device, UsbDeviceInfo** info);
    void WDU_PutDeviceInfo(UsbDeviceInfo* info);
    std::uint32_t WDU_SetInterface(WDU_DEVICE_HANDLE device, std::uint32_t interfaceNumber,
                                   std::uint32_t alternateSetting);
    std::uint32_t WDU_ResetPipe(WDU_DEVICE_HANDLE device, std::uint32_t pipe);
    std::uint32_t WDU_Transfer(WDU_DEVICE_HANDLE device, std::uint32_t pipe, bool read,
                               std::uint32_t options, std::uint8_t* buffer, std::uint32_t length,
                               std::uint32_t* transferred, const std::uint8_t* setupPacket,
                               std::uint32_t timeoutMs);

    // For tests and diagnostics.
    int InitCount() const { return initCount; }
    bool HasListLock() const { return listLock != nullptr; }
    std::size_t DeviceCount();

    // One registration for device events, with its listener thread.
    struct EventRegistration;

private:
    struct DevListNode {
        DevListNode* next = nullptr;
        DeviceEntry* entry = nullptr;
    };
    // What a device operation keeps once the list lock is released.
    struct DeviceRef {
        std::uint32_t uniqueId = 0;
        UsbDriverRequests::DriverHandle driverHandle = UsbDriverRequests::kInvalidHandle;
    };

    std::uint32_t EventRegister(DriverCtx* context, const std::vector<WDU_MATCH_TABLE>& tables,
                                std::uint32_t actions, std::uint32_t options);
    std::uint32_t EventUnregister(EventRegistration* registration);
    void ListenerThread(EventRegistration* registration);
    void PullEvent(EventRegistration* registration);
    void EventHandler(const UsbDriverRequests::Event& event, DriverCtx* context,
                      std::uint32_t& options);
    void HandleInsert(const UsbDriverRequests::Event& event, DriverCtx* context,
                      std::uint32_t& options);
    void HandleRemove(const UsbDriverRequests::Event& event, DriverCtx* context);

    // Device list, under the list lock.
    bool LockList(const char* operation, std::uint32_t& status);
    std::uint32_t UnlockList(const char* operation);
    std::uint32_t AddDeviceToDevList(DeviceEntry* entry);
    std::uint32_t RemoveAllDevicesFromDevList(DriverCtx* context);
    std::uint32_t FindDeviceByUniqueID(std::uint32_t uniqueId, DeviceEntry** entry);
    std::uint32_t FindDeviceByCtx(WDU_DEVICE_HANDLE device, DeviceRef* ref);
    std::uint32_t RemoveDeviceFromDevList(std::uint32_t uniqueId, DeviceEntry** entry);

    UsbDriverPort& port;
    const std::chrono::milliseconds listLockTimeout;
    int initCount = 0;
    std::unique_ptr<AutoResetEvent> listLock;
    DevListNode* pHead = nullptr;
};
