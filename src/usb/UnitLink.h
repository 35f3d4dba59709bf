#pragma once

#include <cstdint>

// Pipes of the unit: frames go out on endpoint 2, replies come back on endpoint 0x81.
constexpr std::uint8_t kOutPipe = 0x02;
constexpr std::uint8_t kInPipe = 0x81;
// Replies are read with a request for this many bytes.
constexpr std::uint32_t kReplyReadSize = 88;
constexpr std::uint32_t kTransferTimeoutMs = 3000;

// The one-frame-out, one-reply-in boundary to the cooling unit.
class UnitLink {
public:
    virtual ~UnitLink() = default;

    // Makes the USB driver available when it cannot be opened; true when it could be opened.
    virtual bool EnsureDriverInstalled() = 0;
    // Starts the USB layer and waits up to 3 s for the unit; true when it is attached and ready.
    virtual bool OpenUsbSession() = 0;
    // Writes the frame, then reads the reply. Returns the count of reply bytes read, 0 when the
    // write failed, or the read's status code when the read failed.
    virtual std::uint32_t TransferFrame(const std::uint8_t* frame, std::uint8_t frameLength,
                                        std::uint8_t* reply, std::uint32_t replyLength) = 0;
    virtual void ResetUsbPipe(std::uint8_t pipe) = 0;
    // A simulated unit, not hardware: the program never powers the computer off for it.
    virtual bool IsSimulatedUnit() const { return false; }
};
