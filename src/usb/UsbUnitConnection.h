#pragma once

#include "usb/DeviceLayer.h"
#include "usb/UnitLink.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// The unit's connection over the USB layer. Made once at start; it then survives unplugging and
// re-plugging the unit by itself: the layer's listener thread hands a re-plugged unit back in.
class UsbUnitConnection : public UnitLink {
public:
    // Runs a program with arguments (never through a shell) and waits for it; the exit code,
    // or -1 when it could not be started.
    using ProgramRunner = std::function<int(const QString& program, const QStringList& arguments)>;
    // Whether the USB driver can be opened for the unit (access to the device granted).
    using DriverProbe = std::function<bool()>;

    UsbUnitConnection(UsbDeviceLayer& layer, DriverProbe driverAvailable, ProgramRunner runProgram,
                      QString installerPath,
                      std::chrono::milliseconds attachWait = std::chrono::seconds(3));
    ~UsbUnitConnection() override;

    bool EnsureDriverInstalled() override;
    bool OpenUsbSession() override;
    std::uint32_t TransferFrame(const std::uint8_t* frame, std::uint8_t frameLength,
                                std::uint8_t* reply, std::uint32_t replyLength) override;
    void ResetUsbPipe(std::uint8_t pipe) override;
    bool IsSimulatedUnit() const override { return simulated; }

    static bool OnUnitAttach(WDU_DEVICE_HANDLE device, const UsbDeviceInfo* info, void* userData);
    static void OnUnitDetach(WDU_DEVICE_HANDLE device, void* userData);

    WDU_DEVICE_HANDLE AttachedDevice() const { return device.load(); }

private:
    // The connection event: auto-reset, signalled by the attach callback once it tried a device.
    void SignalConnectionEvent();
    bool WaitConnectionEvent();

    UsbDeviceLayer& layer;
    DriverProbe driverAvailable;
    ProgramRunner runProgram;
    QString installerPath;
    const std::chrono::milliseconds attachWait;

    const std::uint32_t interfaceNumber = 0;
    const std::uint32_t alternateSetting = 0;
    // Written by the listener thread, read at every transfer on the UI thread.
    std::atomic<WDU_DEVICE_HANDLE> device{nullptr};
    std::atomic<std::uint32_t> attachStatus{0};
    std::atomic<bool> simulated{false};
    WDU_DRIVER_HANDLE usbDriver = nullptr;

    std::mutex eventMutex;
    std::condition_variable eventSignalled;
    bool eventSet = false;
};
