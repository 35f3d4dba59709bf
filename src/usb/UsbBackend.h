#pragma once

#include "usb/UsbDeviceInfo.h"

#include <cstdint>

class UsbBackend;

// Receives a backend's device arrivals and removals. Called on the backend's own thread; it
// only queues and returns.
class UsbBackendSink {
public:
    virtual ~UsbBackendSink() = default;
    // key identifies the device within its backend for as long as it is attached.
    virtual void DeviceArrived(UsbBackend& backend, std::uint64_t key,
                               const UsbDeviceInfo& info) = 0;
    virtual void DeviceLeft(UsbBackend& backend, std::uint64_t key) = 0;
};

// One source of devices for the USB driver: real hardware through libusb, or simulated units
// plugging into the virtual port. Device requests may come from any thread and return a
// UsbStatus code; a key that is no longer attached gives UsbStatus::DeviceNotFound at once.
class UsbBackend {
public:
    virtual ~UsbBackend() = default;

    // Starts watching for devices; the devices already present arrive as well. false when
    // the backend cannot work on this machine.
    virtual bool Start(UsbBackendSink& sink) = 0;
    // Stops watching and lets go of every device; no sink call happens after it returns.
    virtual void Stop() = 0;

    // Claims the interface and selects the alternate setting.
    virtual std::uint32_t SetInterface(std::uint64_t key, std::uint8_t interfaceNumber,
                                       std::uint8_t alternateSetting) = 0;
    // Clears a halted endpoint and drops whatever is pending on it.
    virtual std::uint32_t ResetPipe(std::uint64_t key, std::uint8_t pipe) = 0;
    // A blocking bulk transfer. The endpoint's direction bit decides the direction together
    // with `read`; transferred receives the count also on failure.
    virtual std::uint32_t Transfer(std::uint64_t key, std::uint8_t pipe, bool read,
                                   std::uint8_t* buffer, std::uint32_t length,
                                   std::uint32_t& transferred, std::uint32_t timeoutMs) = 0;
    // The program declined the device: let go of it.
    virtual void Release(std::uint64_t key) = 0;
};
