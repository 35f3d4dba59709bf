#pragma once

#include <cstdint>
#include <vector>

// The descriptor tree of an attached device, as far as the program needs it.
struct UsbPipeInfo {
    std::uint8_t endpointAddress = 0; // bit 0x80 set for IN
    std::uint8_t type = 0;            // 0 control, 1 isochronous, 2 bulk, 3 interrupt
    std::uint16_t maxPacketSize = 0;
};

// One active interface with its active alternate setting.
struct UsbInterfaceInfo {
    std::uint8_t number = 0;
    std::uint8_t alternateSetting = 0;
    std::uint8_t interfaceClass = 0;
    std::uint8_t interfaceSubClass = 0;
    std::uint8_t interfaceProtocol = 0;
    std::vector<UsbPipeInfo> pipes;
};

struct UsbDeviceInfo {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint8_t deviceClass = 0;
    std::uint8_t deviceSubClass = 0;
    std::vector<UsbInterfaceInfo> activeInterfaces;
    // A simulated unit plugged in over the virtual port, not hardware.
    bool simulated = false;
};
