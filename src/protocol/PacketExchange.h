#pragma once

#include "protocol/Frame.h"

#include <QByteArray>
#include <QString>

#include <functional>

class UnitLink;
class MessageSink;

inline const QString kConnectionLostText = QStringLiteral("USB connection lost - retrying");

// Hands a reply's payload text to the decoder of its packet number.
using PacketDispatch = std::function<void(std::uint8_t packet, const QByteArray& payloadText)>;

// One frame out, one reply in. A reply of an unexpected length means the link is gone: the
// loss is queued for the status bar and both pipes are reset, and the next call simply tries
// again. Errors while transferring or decoding are shown as "Error: " boxes.
class PacketExchange {
public:
    PacketExchange(UnitLink& link, MessageSink& messages,
                   std::function<void(const QString&)> queueTrace, PacketDispatch dispatch);

    void Exchange(const Frame& frame);

private:
    void TransferAndDispatch(const Frame& frame, int length);

    UnitLink& link;
    MessageSink& messages;
    std::function<void(const QString&)> queueTrace;
    PacketDispatch dispatch;
};

// The packet numbers that have a decoder; any other reply is dropped.
bool HasDecoder(std::uint8_t packet);
