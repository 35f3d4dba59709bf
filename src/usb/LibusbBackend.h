#pragma once

#include "usb/UsbBackend.h"

#include <libusb.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

// The status code for what a libusb call returned; LIBUSB_SUCCESS is Success, a code without
// a counterpart of its own is TransferFailed.
std::uint32_t UsbStatusFromLibusb(int libusbError);

struct LibusbBackendOptions {
    // Applied to the backend's libusb context right after it is created, as
    // libusb_set_option(context, option, value). Tests raise the log level here.
    std::vector<std::pair<libusb_option, int>> contextOptions;
    // How long the event thread stays inside libusb when nothing happens. Stop() wakes it
    // at once; this only bounds the wait if that wake-up is lost.
    std::chrono::milliseconds eventWait{500};
};

// Real hardware through libusb: hotplug for the unit's vendor and product id, synchronous bulk
// transfers, clear halt.
//
// Threads: libusb's hotplug callback only queues the arrival or removal; a device thread of
// the backend opens arrived devices and makes every sink call; an event thread runs libusb's
// event handling. Device requests come from any thread and never hold the backend's lock
// while libusb works, so a removal is never held up by a transfer in progress. A handle is
// closed when its device is gone and the last request using it has returned.
class LibusbBackend : public UsbBackend {
public:
    explicit LibusbBackend(LibusbBackendOptions options = {});
    ~LibusbBackend() override;

    LibusbBackend(const LibusbBackend&) = delete;
    LibusbBackend& operator=(const LibusbBackend&) = delete;

    // Returns once the devices present at the start have been opened and reported, so that
    // HasInaccessibleDevice() tells about them. false also when the backend is running already.
    bool Start(UsbBackendSink& sink) override;
    // Waits for requests still running on a device; must not be called from a sink call.
    void Stop() override;

    std::uint32_t SetInterface(std::uint64_t key, std::uint8_t interfaceNumber,
                               std::uint8_t alternateSetting) override;
    std::uint32_t ResetPipe(std::uint64_t key, std::uint8_t pipe) override;
    // A `read` that disagrees with the pipe's direction bit is InvalidParameter. A time-out
    // of 0 waits without limit, as libusb does.
    std::uint32_t Transfer(std::uint64_t key, std::uint8_t pipe, bool read, std::uint8_t* buffer,
                           std::uint32_t length, std::uint32_t& transferred,
                           std::uint32_t timeoutMs) override;
    // The device stays known to the backend until it is unplugged, so that a repeated arrival
    // is still recognised, but the sink hears nothing more about it.
    void Release(std::uint64_t key) override;

    // True while a unit is plugged in that this user may not open (its access rule is
    // missing); such a unit is not reported to the sink.
    bool HasInaccessibleDevice() const;
    // Tries to open those units again, for instance after their access rule was installed,
    // and reports the ones that open now. Returns when the attempts are done; must not be
    // called from a sink call.
    void RetryInaccessibleDevices();

private:
    class OpenDevice;
    struct HotplugEvent {
        bool arrived;
        libusb_device* device; // one reference held while queued
    };
    // A device the backend reported, from its arrival until its removal.
    struct Known {
        std::uint64_t key;
        std::shared_ptr<OpenDevice> open; // null once released
    };

    static int LIBUSB_CALL OnHotplug(libusb_context* context, libusb_device* device,
                                     libusb_hotplug_event event, void* self);
    void RunDevices();
    void RunEvents();
    void HandleArrival(libusb_device* device);
    void HandleRemoval(libusb_device* device);
    std::shared_ptr<OpenDevice> Find(std::uint64_t key);
    void HandleClosed();
    // Waits until the device thread has handled every event queued so far.
    void WaitUntilHandled(std::unique_lock<std::mutex>& lock);

    const LibusbBackendOptions options;

    libusb_context* context = nullptr;
    libusb_hotplug_callback_handle hotplugHandle = 0;
    bool hotplugRegistered = false;
    UsbBackendSink* sink = nullptr;
    std::thread deviceThread;
    std::thread eventThread;
    std::atomic<bool> stopping{false};

    // Guards the queue and the device tables.
    mutable std::mutex mutex;
    std::condition_variable queued;
    std::condition_variable handled;
    std::deque<HotplugEvent> queue;
    std::uint64_t queuedEvents = 0;
    std::uint64_t handledEvents = 0;
    // Both keyed by libusb's device, which the backend holds a reference to while it is here.
    std::map<libusb_device*, Known> known;
    std::set<libusb_device*> inaccessible;
    std::map<std::uint64_t, std::shared_ptr<OpenDevice>> byKey;
    std::uint64_t lastKey = 0;

    // Counts handles not yet closed; Stop() waits for it to reach 0 before the context ends.
    std::mutex closeMutex;
    std::condition_variable closed;
    int openHandles = 0;
};
