#include "usb/UsbStatus.h"

#include <array>
#include <utility>

namespace {
using Row = std::pair<std::uint32_t, const char*>;
constexpr std::array kRows{
    Row{UsbStatus::Success, "Success"},
    Row{UsbStatus::InvalidHandle, "Invalid handle"},
    Row{UsbStatus::InsufficientResources, "Insufficient resources"},
    Row{UsbStatus::InternalError, "Internal system error"},
    Row{UsbStatus::DeviceNotFound, "Device not found"},
    Row{UsbStatus::TimeOut, "TimeOut expired"},
    Row{UsbStatus::IncorrectVersion, "Incorrect USB driver version installed"},
    Row{UsbStatus::InvalidDriverHandle, "Invalid USB driver handle"},
    Row{UsbStatus::PipeStalled, "Pipe stalled"},
    Row{UsbStatus::DataOverrun, "Data overrun"},
    Row{UsbStatus::AccessDenied, "Access denied"},
    Row{UsbStatus::DeviceBusy, "Device busy"},
    Row{UsbStatus::InterfaceNotFound, "Interface not found"},
    Row{UsbStatus::InvalidParameter, "Invalid parameter"},
    Row{UsbStatus::TransferFailed, "Transfer failed"},
    Row{UsbStatus::NotSupported, "Not supported"},
};
} // namespace

QString UsbStatusText(std::uint32_t status) {
    for (const auto& [code, text] : kRows) {
        if (code == status)
            return QString::fromLatin1(text);
    }
    return QStringLiteral("Unrecognized error code");
}
