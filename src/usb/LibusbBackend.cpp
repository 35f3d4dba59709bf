#include "usb/LibusbBackend.h"

#include "usb/UnitIds.h"
#include "usb/UsbStatus.h"

#include <QtGlobal>

#include <bitset>
#include <climits>
#include <sys/time.h>

std::uint32_t UsbStatusFromLibusb(int libusbError) {
    switch (libusbError) {
    case LIBUSB_SUCCESS:
        return UsbStatus::Success;
    case LIBUSB_ERROR_TIMEOUT:
        return UsbStatus::TimeOut;
    case LIBUSB_ERROR_NO_DEVICE:
        return UsbStatus::DeviceNotFound;
    case LIBUSB_ERROR_PIPE:
        return UsbStatus::PipeStalled;
    case LIBUSB_ERROR_OVERFLOW:
        return UsbStatus::DataOverrun;
    case LIBUSB_ERROR_ACCESS:
        return UsbStatus::AccessDenied;
    case LIBUSB_ERROR_BUSY:
        return UsbStatus::DeviceBusy;
    case LIBUSB_ERROR_NOT_FOUND:
        return UsbStatus::InterfaceNotFound;
    case LIBUSB_ERROR_INVALID_PARAM:
        return UsbStatus::InvalidParameter;
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return UsbStatus::NotSupported;
    default:
        return UsbStatus::TransferFailed;
    }
}

// An opened device. Requests hold it through a shared_ptr, so its handle is closed only after
// the backend dropped it and the last request using it has returned.
class LibusbBackend::OpenDevice {
public:
    OpenDevice(LibusbBackend& owner, libusb_device* device, libusb_device_handle* handle)
        : device(device), handle(handle), owner(owner) {}

    ~OpenDevice() {
        // An unplugged device has nothing left to release; the kernel dropped its claims.
        if (!gone.load()) {
            std::lock_guard lock(claimMutex);
            for (int number = 0; number < static_cast<int>(claimed.size()); ++number) {
                if (claimed.test(number))
                    libusb_release_interface(handle, number);
            }
        }
        libusb_close(handle);
        owner.HandleClosed();
    }

    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

    void NoteClaimed(std::uint8_t number) {
        std::lock_guard lock(claimMutex);
        claimed.set(number);
    }

    libusb_device* const device;
    libusb_device_handle* const handle;
    std::atomic<bool> gone{false};

private:
    LibusbBackend& owner;
    std::mutex claimMutex;
    std::bitset<256> claimed;
};

namespace {

UsbDeviceInfo ReadInfo(libusb_device* device) {
    UsbDeviceInfo info;
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) == LIBUSB_SUCCESS) {
        info.vendorId = descriptor.idVendor;
        info.productId = descriptor.idProduct;
        info.deviceClass = descriptor.bDeviceClass;
        info.deviceSubClass = descriptor.bDeviceSubClass;
    }

    libusb_config_descriptor* config = nullptr;
    // An unconfigured device has no active interfaces; the caller declines it.
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS)
        return info;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface& interface = config->interface[i];
        if (interface.num_altsetting < 1)
            continue;
        // libusb cannot tell the selected alternate setting without asking the device; right
        // after enumeration it is the first one.
        const libusb_interface_descriptor& setting = interface.altsetting[0];
        UsbInterfaceInfo entry;
        entry.number = setting.bInterfaceNumber;
        entry.alternateSetting = setting.bAlternateSetting;
        entry.interfaceClass = setting.bInterfaceClass;
        entry.interfaceSubClass = setting.bInterfaceSubClass;
        entry.interfaceProtocol = setting.bInterfaceProtocol;
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            entry.pipes.push_back(
                {endpoint.bEndpointAddress,
                 static_cast<std::uint8_t>(endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK),
                 endpoint.wMaxPacketSize});
        }
        info.activeInterfaces.push_back(std::move(entry));
    }
    libusb_free_config_descriptor(config);
    return info;
}

} // namespace

LibusbBackend::LibusbBackend(LibusbBackendOptions options) : options(std::move(options)) {}

LibusbBackend::~LibusbBackend() {
    Stop();
}

bool LibusbBackend::Start(UsbBackendSink& target) {
    // A second sink would never hear of the devices the first one was told about.
    if (context)
        return false;
    libusb_context* created = nullptr;
    if (libusb_init(&created) != LIBUSB_SUCCESS)
        return false;
    for (const auto& [option, value] : options.contextOptions)
        libusb_set_option(created, option, value);
    if (!libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
        libusb_exit(created);
        return false;
    }

    context = created;
    sink = &target;
    stopping = false;
    deviceThread = std::thread(&LibusbBackend::RunDevices, this);
    eventThread = std::thread(&LibusbBackend::RunEvents, this);

    // With ENUMERATE the devices already present arrive from inside this call.
    const int registered = libusb_hotplug_register_callback(
        context,
        static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                          LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        LIBUSB_HOTPLUG_ENUMERATE, kUnitVendorId, kUnitProductId, LIBUSB_HOTPLUG_MATCH_ANY,
        &LibusbBackend::OnHotplug, this, &hotplugHandle);
    hotplugRegistered = registered == LIBUSB_SUCCESS;
    if (!hotplugRegistered) {
        qWarning("libusb hotplug registration failed: %s", libusb_error_name(registered));
        Stop();
        return false;
    }
    std::unique_lock lock(mutex);
    WaitUntilHandled(lock);
    return true;
}

void LibusbBackend::WaitUntilHandled(std::unique_lock<std::mutex>& lock) {
    const std::uint64_t target = queuedEvents;
    handled.wait(lock, [&] { return handledEvents >= target || stopping.load(); });
}

void LibusbBackend::Stop() {
    if (!context)
        return;

    {
        // Under the lock, so that the device thread cannot miss the flag between its check
        // and its wait, and the hotplug callback queues nothing more.
        std::lock_guard lock(mutex);
        stopping = true;
    }
    queued.notify_all();
    handled.notify_all();
    if (hotplugRegistered) {
        libusb_hotplug_deregister_callback(context, hotplugHandle);
        hotplugRegistered = false;
    }
    libusb_interrupt_event_handler(context);
    if (deviceThread.joinable())
        deviceThread.join();
    if (eventThread.joinable())
        eventThread.join();

    std::deque<HotplugEvent> pending;
    std::map<libusb_device*, Known> devices;
    std::map<std::uint64_t, std::shared_ptr<OpenDevice>> keys;
    std::set<libusb_device*> unopened;
    {
        std::lock_guard lock(mutex);
        pending.swap(queue);
        devices.swap(known);
        keys.swap(byKey);
        unopened.swap(inaccessible);
    }
    // Dropped outside the lock: closing a handle waits for libusb's event lock, which a
    // thread inside the hotplug callback may hold while it waits for ours.
    keys.clear();
    for (auto& [device, entry] : devices) {
        entry.open.reset();
        libusb_unref_device(device);
    }
    for (const HotplugEvent& event : pending)
        libusb_unref_device(event.device);
    for (libusb_device* device : unopened)
        libusb_unref_device(device);

    {
        std::unique_lock lock(closeMutex);
        closed.wait(lock, [this] { return openHandles == 0; });
    }
    libusb_exit(context);
    context = nullptr;
    sink = nullptr;
}

int LIBUSB_CALL LibusbBackend::OnHotplug(libusb_context*, libusb_device* device,
                                         libusb_hotplug_event event, void* self) {
    // libusb runs this inside its event handling, where opening or closing devices is not
    // allowed; the device thread does the work.
    auto* backend = static_cast<LibusbBackend*>(self);
    {
        std::lock_guard lock(backend->mutex);
        if (backend->stopping)
            return 0;
        libusb_ref_device(device);
        backend->queue.push_back({event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED, device});
        ++backend->queuedEvents;
    }
    backend->queued.notify_one();
    return 0;
}

void LibusbBackend::RunEvents() {
    const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(options.eventWait);
    while (!stopping.load()) {
        timeval timeout{static_cast<time_t>(wait.count() / 1000000),
                        static_cast<suseconds_t>(wait.count() % 1000000)};
        libusb_handle_events_timeout_completed(context, &timeout, nullptr);
    }
}

void LibusbBackend::RunDevices() {
    for (;;) {
        HotplugEvent event{};
        {
            std::unique_lock lock(mutex);
            queued.wait(lock, [this] { return stopping.load() || !queue.empty(); });
            if (stopping)
                return;
            event = queue.front();
            queue.pop_front();
        }
        if (event.arrived)
            HandleArrival(event.device);
        else
            HandleRemoval(event.device);
        libusb_unref_device(event.device);
        {
            std::lock_guard lock(mutex);
            ++handledEvents;
        }
        handled.notify_all();
    }
}

void LibusbBackend::HandleArrival(libusb_device* device) {
    {
        // libusb may report a device twice: once from the enumeration at registration and
        // once from the hotplug event racing it.
        std::lock_guard lock(mutex);
        if (known.count(device) != 0)
            return;
    }

    libusb_device_handle* handle = nullptr;
    const int opened = libusb_open(device, &handle);
    // A refused device is kept, with a reference, until it opens or goes.
    bool wasListed = false;
    {
        std::lock_guard lock(mutex);
        wasListed = inaccessible.count(device) != 0;
        if (opened == LIBUSB_ERROR_ACCESS)
            inaccessible.insert(device);
        else
            inaccessible.erase(device);
    }
    if (opened == LIBUSB_ERROR_ACCESS && !wasListed)
        libusb_ref_device(device);
    else if (opened != LIBUSB_ERROR_ACCESS && wasListed)
        libusb_unref_device(device);
    if (opened != LIBUSB_SUCCESS) {
        qWarning("cannot open USB device %u:%u: %s", libusb_get_bus_number(device),
                 libusb_get_device_address(device), libusb_error_name(opened));
        return;
    }
    // Not every platform can detach kernel drivers; claiming then fails with a status of
    // its own, which is the better report.
    libusb_set_auto_detach_kernel_driver(handle, 1);
    const UsbDeviceInfo info = ReadInfo(device);

    {
        std::lock_guard lock(closeMutex);
        ++openHandles;
    }
    auto open = std::make_shared<OpenDevice>(*this, device, handle);
    std::uint64_t key = 0;
    {
        std::lock_guard lock(mutex);
        key = ++lastKey;
        known.emplace(device, Known{key, open});
        byKey.emplace(key, open);
    }
    libusb_ref_device(device);
    open.reset();
    sink->DeviceArrived(*this, key, info);
}

void LibusbBackend::HandleRemoval(libusb_device* device) {
    std::shared_ptr<OpenDevice> open;
    std::uint64_t key = 0;
    bool refused = false;
    bool reported = false;
    {
        std::lock_guard lock(mutex);
        refused = inaccessible.erase(device) != 0;
        // Without an entry this is a removal without an arrival: the device was never opened.
        const auto it = known.find(device);
        if (it != known.end()) {
            reported = true;
            key = it->second.key;
            open = std::move(it->second.open);
            known.erase(it);
            byKey.erase(key);
        }
    }
    if (refused || reported)
        libusb_unref_device(device);
    // A released device was let go by the sink already.
    if (!open)
        return;
    open->gone = true;
    // Closed before the sink hears of it, so that whoever reacts to the removal finds the
    // device node let go (unless a request still in flight holds it until it returns).
    open.reset();
    sink->DeviceLeft(*this, key);
}

std::shared_ptr<LibusbBackend::OpenDevice> LibusbBackend::Find(std::uint64_t key) {
    std::lock_guard lock(mutex);
    const auto it = byKey.find(key);
    return it == byKey.end() ? nullptr : it->second;
}

void LibusbBackend::HandleClosed() {
    {
        std::lock_guard lock(closeMutex);
        --openHandles;
    }
    closed.notify_all();
}

std::uint32_t LibusbBackend::SetInterface(std::uint64_t key, std::uint8_t interfaceNumber,
                                          std::uint8_t alternateSetting) {
    const auto open = Find(key);
    if (!open)
        return UsbStatus::DeviceNotFound;
    int result = libusb_claim_interface(open->handle, interfaceNumber);
    if (result != LIBUSB_SUCCESS)
        return UsbStatusFromLibusb(result);
    open->NoteClaimed(interfaceNumber);
    result = libusb_set_interface_alt_setting(open->handle, interfaceNumber, alternateSetting);
    return UsbStatusFromLibusb(result);
}

std::uint32_t LibusbBackend::ResetPipe(std::uint64_t key, std::uint8_t pipe) {
    const auto open = Find(key);
    if (!open)
        return UsbStatus::DeviceNotFound;
    return UsbStatusFromLibusb(libusb_clear_halt(open->handle, pipe));
}

std::uint32_t LibusbBackend::Transfer(std::uint64_t key, std::uint8_t pipe, bool read,
                                      std::uint8_t* buffer, std::uint32_t length,
                                      std::uint32_t& transferred, std::uint32_t timeoutMs) {
    transferred = 0;
    const auto open = Find(key);
    if (!open)
        return UsbStatus::DeviceNotFound;
    const bool inPipe = (pipe & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN;
    if (read != inPipe || length > static_cast<std::uint32_t>(INT_MAX) ||
        (buffer == nullptr && length != 0))
        return UsbStatus::InvalidParameter;
    int actual = 0;
    const int result = libusb_bulk_transfer(open->handle, pipe, buffer, static_cast<int>(length),
                                            &actual, timeoutMs);
    transferred = static_cast<std::uint32_t>(actual);
    return UsbStatusFromLibusb(result);
}

void LibusbBackend::Release(std::uint64_t key) {
    std::shared_ptr<OpenDevice> open;
    {
        std::lock_guard lock(mutex);
        const auto it = byKey.find(key);
        if (it == byKey.end())
            return;
        open = std::move(it->second);
        byKey.erase(it);
        const auto device = known.find(open->device);
        if (device != known.end())
            device->second.open.reset();
    }
    open.reset();
}

bool LibusbBackend::HasInaccessibleDevice() const {
    std::lock_guard lock(mutex);
    return !inaccessible.empty();
}

void LibusbBackend::RetryInaccessibleDevices() {
    std::unique_lock lock(mutex);
    if (!context || stopping)
        return;
    for (libusb_device* device : inaccessible) {
        libusb_ref_device(device);
        queue.push_back({true, device});
        ++queuedEvents;
    }
    queued.notify_one();
    WaitUntilHandled(lock);
}
