#include "usb/UsbDriver.h"

#include "usb/UsbStatus.h"

using namespace UsbDriverRequests;

UsbDriver::UsbDriver(std::vector<std::unique_ptr<UsbBackend>> backends)
    : backends(std::move(backends)) {}

UsbDriver::~UsbDriver() {
    Stop();
}

void UsbDriver::Start() {
    for (const auto& backend : backends) {
        if (backend->Start(*this))
            running.push_back(backend.get());
    }
}

void UsbDriver::Stop() {
    for (UsbBackend* backend : running)
        backend->Stop();
    running.clear();
    std::lock_guard lock(mutex);
    for (auto& [handle, registration] : registrations)
        registration.stopped = true;
    eventsChanged.notify_all();
}

std::uint32_t UsbDriver::Open(DriverHandle& handle) {
    handle = kInvalidHandle;
    if (running.empty())
        return UsbStatus::InternalError;
    std::lock_guard lock(mutex);
    handle = nextHandle++;
    openHandles.insert(handle);
    return UsbStatus::Success;
}

void UsbDriver::Close(DriverHandle handle) {
    std::lock_guard lock(mutex);
    openHandles.erase(handle);
}

bool UsbDriver::IsOpen(DriverHandle handle) const {
    return openHandles.count(handle) != 0;
}

std::uint32_t UsbDriver::Version(DriverHandle handle, std::uint32_t& version) {
    std::lock_guard lock(mutex);
    if (!IsOpen(handle))
        return UsbStatus::InvalidDriverHandle;
    version = kVersion;
    return UsbStatus::Success;
}

bool UsbDriver::Matches(const Registration& registration, const UsbDeviceInfo& info) {
    const auto fits = [](auto wanted, auto actual) { return wanted == 0 || wanted == actual; };
    for (const MatchTable& table : registration.tables) {
        if (!fits(table.vendorId, info.vendorId) || !fits(table.productId, info.productId) ||
            !fits(table.deviceClass, info.deviceClass) ||
            !fits(table.deviceSubClass, info.deviceSubClass))
            continue;
        if (info.activeInterfaces.empty())
            return table.interfaceClass == 0 && table.interfaceSubClass == 0 &&
                   table.interfaceProtocol == 0;
        const UsbInterfaceInfo& first = info.activeInterfaces.front();
        if (fits(table.interfaceClass, first.interfaceClass) &&
            fits(table.interfaceSubClass, first.interfaceSubClass) &&
            fits(table.interfaceProtocol, first.interfaceProtocol))
            return true;
    }
    return false;
}

void UsbDriver::Offer(std::uint32_t eventHandle, Registration& registration, std::uint32_t action,
                      std::uint32_t uniqueId) {
    if ((registration.actions & action) == 0)
        return;
    registration.pending.push_back(Event{eventHandle, action, uniqueId, registration.options});
    eventsChanged.notify_all();
}

std::uint32_t UsbDriver::EventRegister(DriverHandle handle, const std::vector<MatchTable>& tables,
                                       std::uint32_t actions, std::uint32_t options,
                                       std::uint32_t& eventHandle) {
    std::lock_guard lock(mutex);
    if (!IsOpen(handle))
        return UsbStatus::InvalidDriverHandle;
    eventHandle = nextEventHandle++;
    Registration& registration = registrations[eventHandle];
    registration.owner = handle;
    registration.tables = tables;
    registration.actions = actions;
    registration.options = options;
    // Devices already plugged in are reported as if they had just arrived.
    for (const auto& [uniqueId, device] : devices) {
        if (device.attached && Matches(registration, device.info))
            Offer(eventHandle, registration, Action::Insert, uniqueId);
    }
    return UsbStatus::Success;
}

std::uint32_t UsbDriver::EventUnregister(DriverHandle handle, std::uint32_t eventHandle) {
    std::lock_guard lock(mutex);
    if (!IsOpen(handle))
        return UsbStatus::InvalidDriverHandle;
    if (registrations.erase(eventHandle) == 0)
        return UsbStatus::InvalidHandle;
    eventsChanged.notify_all();
    return UsbStatus::Success;
}

std::uint32_t UsbDriver::EventPull(DriverHandle handle, Event& event) {
    std::lock_guard lock(mutex);
    if (!IsOpen(handle))
        return UsbStatus::InvalidDriverHandle;
    const auto found = registrations.find(event.eventHandle);
    if (found == registrations.end())
        return UsbStatus::InvalidHandle;
    if (found->second.pending.empty()) {
        event.action = 0;
        return UsbStatus::Success;
    }
    event = found->second.pending.front();
    found->second.pending.pop_front();
    return UsbStatus::Success;
}

std::uint32_t UsbDriver::EventSendBack(DriverHandle handle, const Event& event) {
    Route route;
    {
        std::lock_guard lock(mutex);
        if (!IsOpen(handle))
            return UsbStatus::InvalidDriverHandle;
        const bool declinedInsert =
            event.action == Action::Insert && (event.options & EventOption::AcceptControl) == 0;
        const auto found = devices.find(event.uniqueId);
        if (!declinedInsert || found == devices.end() || !found->second.attached)
            return UsbStatus::Success;
        route = {found->second.backend, found->second.key};
    }
    // Nobody took the device: the backend lets go of it.
    route.backend->Release(route.key);
    return UsbStatus::Success;
}

std::uint32_t UsbDriver::NotificationEnable(DriverHandle handle, std::uint32_t eventHandle) {
    return SetNotifying(handle, eventHandle, true);
}

std::uint32_t UsbDriver::NotificationWait(DriverHandle handle, std::uint32_t eventHandle,
                                          NotificationState& state) {
    std::unique_lock lock(mutex);
    if (!IsOpen(handle))
        return UsbStatus::InvalidDriverHandle;
    eventsChanged.wait(lock, [&] {
        const auto found = registrations.find(eventHandle);
        return found == registrations.end() || found->second.stopped || !found->second.notifying ||
               !found->second.pending.empty();
    });
    const auto found = registrations.find(eventHandle);
    const bool stopped =
        found == registrations.end() || found->second.stopped || !found->second.notifying;
    state = stopped ? NotificationState::Stopped : NotificationState::Event;
    return UsbStatus::Success;
}

std::uint32_t UsbDriver::NotificationDisable(DriverHandle handle, std::uint32_t eventHandle) {
    return SetNotifying(handle, eventHandle, false);
}

// Enabling clears an earlier stop; disabling wakes a waiting listener, which then sees it.
std::uint32_t UsbDriver::SetNotifying(DriverHandle handle, std::uint32_t eventHandle, bool on) {
    std::lock_guard lock(mutex);
    if (!IsOpen(handle))
        return UsbStatus::InvalidDriverHandle;
    const auto found = registrations.find(eventHandle);
    if (found == registrations.end())
        return UsbStatus::InvalidHandle;
    found->second.notifying = on;
    if (on)
        found->second.stopped = false;
    else
        eventsChanged.notify_all();
    return UsbStatus::Success;
}

std::uint32_t UsbDriver::RouteOf(DriverHandle handle, std::uint32_t uniqueId, Route& route) const {
    std::lock_guard lock(mutex);
    if (!IsOpen(handle))
        return UsbStatus::InvalidDriverHandle;
    const auto found = devices.find(uniqueId);
    if (found == devices.end() || !found->second.attached)
        return UsbStatus::DeviceNotFound;
    route = {found->second.backend, found->second.key};
    return UsbStatus::Success;
}

std::uint32_t UsbDriver::DeviceInfo(DriverHandle handle, std::uint32_t uniqueId,
                                    UsbDeviceInfo& info) {
    std::lock_guard lock(mutex);
    if (!IsOpen(handle))
        return UsbStatus::InvalidDriverHandle;
    const auto found = devices.find(uniqueId);
    if (found == devices.end() || !found->second.attached)
        return UsbStatus::DeviceNotFound;
    info = found->second.info;
    return UsbStatus::Success;
}

std::uint32_t UsbDriver::SetInterface(DriverHandle handle, std::uint32_t uniqueId,
                                      std::uint8_t interfaceNumber, std::uint8_t alternateSetting) {
    Route route;
    if (const std::uint32_t status = RouteOf(handle, uniqueId, route))
        return status;
    return route.backend->SetInterface(route.key, interfaceNumber, alternateSetting);
}

std::uint32_t UsbDriver::ResetPipe(DriverHandle handle, std::uint32_t uniqueId, std::uint8_t pipe) {
    Route route;
    if (const std::uint32_t status = RouteOf(handle, uniqueId, route))
        return status;
    return route.backend->ResetPipe(route.key, pipe);
}

std::uint32_t UsbDriver::Transfer(DriverHandle handle, std::uint32_t uniqueId, std::uint8_t pipe,
                                  bool read, std::uint32_t /*options*/, std::uint8_t* buffer,
                                  std::uint32_t length, std::uint32_t& transferred,
                                  const std::uint8_t* setupPacket, std::uint32_t timeoutMs) {
    transferred = 0;
    // The unit has bulk pipes only; control transfers are not part of its protocol.
    if (setupPacket != nullptr)
        return UsbStatus::NotSupported;
    Route route;
    if (const std::uint32_t status = RouteOf(handle, uniqueId, route))
        return status;
    return route.backend->Transfer(route.key, pipe, read, buffer, length, transferred, timeoutMs);
}

void UsbDriver::DeviceArrived(UsbBackend& backend, std::uint64_t key, const UsbDeviceInfo& info) {
    std::lock_guard lock(mutex);
    for (const auto& [uniqueId, device] : devices) {
        if (device.backend == &backend && device.key == key && device.attached)
            return; // the same arrival reported twice
    }
    const std::uint32_t uniqueId = nextUniqueId++;
    devices[uniqueId] = Device{&backend, key, info, true};
    for (auto& [eventHandle, registration] : registrations) {
        if (Matches(registration, info))
            Offer(eventHandle, registration, Action::Insert, uniqueId);
    }
}

void UsbDriver::DeviceLeft(UsbBackend& backend, std::uint64_t key) {
    std::lock_guard lock(mutex);
    for (auto it = devices.begin(); it != devices.end(); ++it) {
        Device& device = it->second;
        if (device.backend != &backend || device.key != key || !device.attached)
            continue;
        // From here on every request for this device fails at once.
        device.attached = false;
        for (auto& [eventHandle, registration] : registrations) {
            if (Matches(registration, device.info))
                Offer(eventHandle, registration, Action::Remove, it->first);
        }
        devices.erase(it);
        return;
    }
}
