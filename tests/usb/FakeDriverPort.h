#pragma once

#include "usb/UsbDriverPort.h"
#include "usb/UsbStatus.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

// A USB driver whose devices and events the test scripts, recording every request.
class FakeDriverPort : public UsbDriverPort {
public:
    struct Request {
        const char* name;
        DriverHandle handle;
        std::uint32_t uniqueId;
    };

    // Script.
    bool openFails = false;
    std::uint32_t version = 700;
    std::uint32_t versionStatus = UsbStatus::Success;
    std::uint32_t registerStatus = UsbStatus::Success;
    std::map<std::uint32_t, UsbDeviceInfo> infos;
    std::uint32_t transferStatus = UsbStatus::Success;

    void Plug(std::uint32_t uniqueId, const UsbDeviceInfo& info) {
        std::lock_guard lock(mutex);
        infos[uniqueId] = info;
        Queue(UsbDriverRequests::Action::Insert, uniqueId);
    }
    void Unplug(std::uint32_t uniqueId) {
        std::lock_guard lock(mutex);
        infos.erase(uniqueId);
        Queue(UsbDriverRequests::Action::Remove, uniqueId);
    }
    void Raise(std::uint32_t action, std::uint32_t uniqueId) {
        std::lock_guard lock(mutex);
        Queue(action, uniqueId);
    }

    // Observations.
    std::vector<Event> SentBack() {
        std::lock_guard lock(mutex);
        return sentBack;
    }
    std::vector<Request> Requests() {
        std::lock_guard lock(mutex);
        return requests;
    }
    std::uint32_t registeredActions = 0;
    std::uint32_t registeredOptions = 0;
    bool registered = false;
    std::set<DriverHandle> openHandles;
    bool IsOpen(DriverHandle handle) {
        std::lock_guard lock(mutex);
        return openHandles.count(handle) != 0;
    }
    std::size_t OpenHandleCount() {
        std::lock_guard lock(mutex);
        return openHandles.size();
    }
    DriverHandle firstHandle = UsbDriverRequests::kInvalidHandle;

    std::uint32_t Open(DriverHandle& handle) override {
        std::lock_guard lock(mutex);
        if (openFails) {
            handle = UsbDriverRequests::kInvalidHandle;
            return UsbStatus::InternalError;
        }
        handle = next++;
        if (firstHandle == UsbDriverRequests::kInvalidHandle)
            firstHandle = handle;
        openHandles.insert(handle);
        return UsbStatus::Success;
    }
    void Close(DriverHandle handle) override {
        std::lock_guard lock(mutex);
        openHandles.erase(handle);
    }
    std::uint32_t Version(DriverHandle, std::uint32_t& reported) override {
        reported = version;
        return versionStatus;
    }
    std::uint32_t EventRegister(DriverHandle, const std::vector<MatchTable>&, std::uint32_t actions,
                                std::uint32_t options, std::uint32_t& eventHandle) override {
        std::lock_guard lock(mutex);
        if (registerStatus != UsbStatus::Success)
            return registerStatus;
        registered = true;
        registeredActions = actions;
        registeredOptions = options;
        eventHandle = 42;
        return UsbStatus::Success;
    }
    std::uint32_t EventUnregister(DriverHandle, std::uint32_t) override {
        std::lock_guard lock(mutex);
        registered = false;
        return UsbStatus::Success;
    }
    std::uint32_t EventPull(DriverHandle, Event& event) override {
        std::lock_guard lock(mutex);
        if (pending.empty()) {
            event.action = 0;
            return UsbStatus::Success;
        }
        event = pending.front();
        pending.pop_front();
        return UsbStatus::Success;
    }
    std::uint32_t EventSendBack(DriverHandle, const Event& event) override {
        std::lock_guard lock(mutex);
        sentBack.push_back(event);
        changed.notify_all();
        return UsbStatus::Success;
    }
    std::uint32_t NotificationEnable(DriverHandle, std::uint32_t) override {
        std::lock_guard lock(mutex);
        notifying = true;
        return UsbStatus::Success;
    }
    std::uint32_t NotificationWait(DriverHandle, std::uint32_t, NotificationState& state) override {
        std::unique_lock lock(mutex);
        listenerThread = std::this_thread::get_id();
        changed.wait(lock, [this] { return !notifying || !pending.empty(); });
        state = notifying ? NotificationState::Event : NotificationState::Stopped;
        return UsbStatus::Success;
    }
    std::uint32_t NotificationDisable(DriverHandle, std::uint32_t) override {
        std::lock_guard lock(mutex);
        notifying = false;
        changed.notify_all();
        return UsbStatus::Success;
    }
    std::uint32_t DeviceInfo(DriverHandle handle, std::uint32_t uniqueId,
                             UsbDeviceInfo& info) override {
        std::lock_guard lock(mutex);
        requests.push_back({"info", handle, uniqueId});
        const auto found = infos.find(uniqueId);
        if (found == infos.end())
            return UsbStatus::DeviceNotFound;
        info = found->second;
        return UsbStatus::Success;
    }
    std::uint32_t SetInterface(DriverHandle handle, std::uint32_t uniqueId, std::uint8_t,
                               std::uint8_t) override {
        std::lock_guard lock(mutex);
        requests.push_back({"setInterface", handle, uniqueId});
        return UsbStatus::Success;
    }
    std::uint32_t ResetPipe(DriverHandle handle, std::uint32_t uniqueId, std::uint8_t) override {
        std::lock_guard lock(mutex);
        requests.push_back({"resetPipe", handle, uniqueId});
        return UsbStatus::Success;
    }
    std::uint32_t Transfer(DriverHandle handle, std::uint32_t uniqueId, std::uint8_t, bool,
                           std::uint32_t, std::uint8_t*, std::uint32_t length,
                           std::uint32_t& transferred, const std::uint8_t*,
                           std::uint32_t) override {
        std::lock_guard lock(mutex);
        requests.push_back({"transfer", handle, uniqueId});
        transferred = length;
        return transferStatus;
    }

    // Waits until `count` events were sent back (the listener handled them).
    bool AwaitSentBack(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5),
                                [&] { return sentBack.size() >= count; });
    }
    std::thread::id ListenerThread() {
        std::lock_guard lock(mutex);
        return listenerThread;
    }

private:
    void Queue(std::uint32_t action, std::uint32_t uniqueId) {
        pending.push_back(Event{42, action, uniqueId, UsbDriverRequests::EventOption::Acknowledge});
        changed.notify_all();
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Event> pending;
    std::vector<Event> sentBack;
    std::vector<Request> requests;
    bool notifying = false;
    DriverHandle next = 100;
    std::thread::id listenerThread;
};
