#pragma once

#include <QString>

#include <cstdint>

// Status codes of the USB stack: 0 is success, everything else a failure.
namespace UsbStatus {
constexpr std::uint32_t Success = 0;
// Produced by the device layer itself.
constexpr std::uint32_t InvalidHandle = 0x20000001;
constexpr std::uint32_t InsufficientResources = 0x20000005;
constexpr std::uint32_t InternalError = 0x20000007;
constexpr std::uint32_t DeviceNotFound = 0x2000000F;
constexpr std::uint32_t TimeOut = 0x20000015;
constexpr std::uint32_t IncorrectVersion = 0x2000001C;
constexpr std::uint32_t InvalidDriverHandle = 0xFFFFFFFF;
// Produced by the backends for what libusb or the virtual port report.
constexpr std::uint32_t PipeStalled = 0x20000101;
constexpr std::uint32_t DataOverrun = 0x20000102;
constexpr std::uint32_t AccessDenied = 0x20000103;
constexpr std::uint32_t DeviceBusy = 0x20000104;
constexpr std::uint32_t InterfaceNotFound = 0x20000105;
constexpr std::uint32_t InvalidParameter = 0x20000106;
constexpr std::uint32_t TransferFailed = 0x20000107;
constexpr std::uint32_t NotSupported = 0x20000108;
} // namespace UsbStatus

// The text of a status for diagnostics; "Unrecognized error code" for an unknown one.
QString UsbStatusText(std::uint32_t status);
