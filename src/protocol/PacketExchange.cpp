#include "protocol/PacketExchange.h"

#include "platform/ErrorText.h"
#include "platform/Services.h"
#include "usb/UnitLink.h"

PacketExchange::PacketExchange(UnitLink& link, MessageSink& messages,
                               std::function<void(const QString&)> queueTrace,
                               PacketDispatch dispatch)
    : link(link), messages(messages), queueTrace(std::move(queueTrace)),
      dispatch(std::move(dispatch)) {}

bool HasDecoder(std::uint8_t packet) {
    switch (packet) {
    case Packet::Status:
    case Packet::UnitSettings:
    case Packet::FanSettings:
    case Packet::DisplayLine1:
    case Packet::DisplayLine2:
        return true;
    default:
        return false;
    }
}

void PacketExchange::Exchange(const Frame& frame) {
    int length = kUnknownFrameLength;
    if (const auto known = FrameLength(frame)) {
        length = *known;
    } else {
        messages.ShowMessage(QStringLiteral("Error in size : %1").arg(kUnknownFrameLength));
    }
    try {
        TransferAndDispatch(frame, length);
    } catch (...) {
        messages.ShowMessage(ErrorMessage(std::current_exception()));
    }
}

void PacketExchange::TransferAndDispatch(const Frame& frame, int length) {
    ReceiveArea reply{};
    const std::uint32_t count = link.TransferFrame(frame.data(), static_cast<std::uint8_t>(length),
                                                   reply.data(), kReplyReadSize);
    if (!IsValidReplyLength(count)) {
        queueTrace(kConnectionLostText);
        link.ResetUsbPipe(kOutPipe);
        link.ResetUsbPipe(kInPipe);
        return;
    }
    if (IsDataReply(reply) && HasDecoder(reply[1]))
        dispatch(reply[1], PayloadText(reply));
}
