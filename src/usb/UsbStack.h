#pragma once

#include "usb/UnitLink.h"

#include <QString>

#include <memory>

class UsbDriver;
class UsbDeviceLayer;
class UsbUnitConnection;

// The whole USB stack of a real run: the driver with its libusb backend and the virtual port
// for simulated units, the device layer above it and the unit connection on top. It stays up
// until the process ends.
class UsbStack : public UnitLink {
public:
    UsbStack(QString virtualPortPath, QString installerPath);
    ~UsbStack() override;

    bool EnsureDriverInstalled() override;
    bool OpenUsbSession() override;
    std::uint32_t TransferFrame(const std::uint8_t* frame, std::uint8_t frameLength,
                                std::uint8_t* reply, std::uint32_t replyLength) override;
    void ResetUsbPipe(std::uint8_t pipe) override;
    bool IsSimulatedUnit() const override;

    // Where the shipped access installer lies, beside the program or installed.
    static QString DefaultInstallerPath();
    // The installer for a program in this folder: beside it in the build tree, else in
    // ../libexec/tarvik-control-centre/ of its prefix; empty when neither is executable.
    static QString FindInstaller(const QString& programFolder);

private:
    bool driverStarted = false;
    std::unique_ptr<UsbDriver> driver;
    std::unique_ptr<UsbDeviceLayer> layer;
    std::unique_ptr<UsbUnitConnection> connection;
};
