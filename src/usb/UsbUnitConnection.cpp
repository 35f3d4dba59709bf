#include "usb/UsbUnitConnection.h"

#include "usb/UnitIds.h"
#include "usb/UsbStatus.h"

UsbUnitConnection::UsbUnitConnection(UsbDeviceLayer& layer, DriverProbe driverAvailable,
                                     ProgramRunner runProgram, QString installerPath,
                                     std::chrono::milliseconds attachWait)
    : layer(layer), driverAvailable(std::move(driverAvailable)), runProgram(std::move(runProgram)),
      installerPath(std::move(installerPath)), attachWait(attachWait) {}

UsbUnitConnection::~UsbUnitConnection() {
    // The listener thread calls back into this object; it ends inside WDU_Uninit.
    if (usbDriver && usbDriver != InvalidDriverHandle())
        layer.WDU_Uninit(usbDriver);
}

bool UsbUnitConnection::EnsureDriverInstalled() {
    if (driverAvailable())
        return true;
    // The installer grants the user access to the unit (a udev rule); it needs root, so it
    // runs through pkexec, which asks for the password. Its result is not examined: the
    // connection attempt that follows tells.
    if (!installerPath.isEmpty())
        runProgram(QStringLiteral("pkexec"), {installerPath});
    return false;
}

bool UsbUnitConnection::OpenUsbSession() {
    device = nullptr;
    attachStatus = 0;
    {
        std::lock_guard lock(eventMutex);
        eventSet = false;
    }
    const WDU_MATCH_TABLE match{kUnitVendorId, kUnitProductId, 0, 0, 0, 0, 0};
    WDU_EVENT_TABLE events;
    events.pfDeviceAttach = &UsbUnitConnection::OnUnitAttach;
    events.pfDeviceDetach = &UsbUnitConnection::OnUnitDetach;
    events.pUserData = this;
    const std::uint32_t status =
        layer.WDU_Init(&usbDriver, &match, 1, &events, UsbDriverRequests::EventOption::Acknowledge);
    if (status != UsbStatus::Success) {
        usbDriver = nullptr;
        return false;
    }
    if (WaitConnectionEvent() && attachStatus == 0)
        return true;
    layer.WDU_Uninit(usbDriver);
    usbDriver = nullptr;
    return false;
}

bool UsbUnitConnection::OnUnitAttach(WDU_DEVICE_HANDLE attached, const UsbDeviceInfo* info,
                                     void* userData) {
    auto* connection = static_cast<UsbUnitConnection*>(userData);
    const bool interfaceMatches =
        info && !info->activeInterfaces.empty() &&
        info->activeInterfaces.front().number == connection->interfaceNumber;
    // One unit at a time: a second device with the same ids is not taken.
    if (!interfaceMatches || connection->device.load() != nullptr)
        return false;
    connection->device = attached;
    connection->simulated = info->simulated;
    connection->attachStatus = connection->layer.WDU_SetInterface(
        attached, connection->interfaceNumber, connection->alternateSetting);
    if (connection->attachStatus != 0) {
        connection->device = nullptr;
        connection->SignalConnectionEvent();
        return false;
    }
    connection->SignalConnectionEvent();
    return true;
}

void UsbUnitConnection::OnUnitDetach(WDU_DEVICE_HANDLE /*detached*/, void* userData) {
    static_cast<UsbUnitConnection*>(userData)->device = nullptr;
}

void UsbUnitConnection::SignalConnectionEvent() {
    {
        std::lock_guard lock(eventMutex);
        eventSet = true;
    }
    eventSignalled.notify_all();
}

bool UsbUnitConnection::WaitConnectionEvent() {
    std::unique_lock lock(eventMutex);
    const bool signalled = eventSignalled.wait_for(lock, attachWait, [this] { return eventSet; });
    eventSet = false;
    return signalled;
}

std::uint32_t UsbUnitConnection::TransferFrame(const std::uint8_t* frame, std::uint8_t frameLength,
                                               std::uint8_t* reply, std::uint32_t replyLength) {
    WDU_DEVICE_HANDLE unit = device.load();
    std::uint32_t transferred = 0;
    // The layer's transfer takes a writable buffer for both directions.
    std::uint8_t out[256];
    std::copy(frame, frame + frameLength, out);
    if (layer.WDU_Transfer(unit, kOutPipe, false, 0, out, frameLength, &transferred, nullptr,
                           kTransferTimeoutMs) != UsbStatus::Success)
        return 0;
    const std::uint32_t status = layer.WDU_Transfer(unit, kInPipe, true, 0, reply, replyLength,
                                                    &transferred, nullptr, kTransferTimeoutMs);
    if (status != UsbStatus::Success)
        return status;
    return transferred;
}

void UsbUnitConnection::ResetUsbPipe(std::uint8_t pipe) {
    layer.WDU_ResetPipe(device.load(), pipe);
}
