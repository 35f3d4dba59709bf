// Whatever the unit answers, from the receive area through the decoders to the window and the
// alarms: no crash, no undefined behaviour, no leak.
//
// Input: byte 0 picks the packet requested, byte 1 the byte count the link reports (values
// above 88 report the input's own length), the rest is what lands in the receive area.

#include "FuzzController.h"

#include "protocol/Frame.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzController& controller = FuzzController::Instance();
    if (size < 2)
        return 0;
    const std::uint8_t packet = data[0] % 8;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2),
                           static_cast<qsizetype>(std::min<std::size_t>(size - 2, 88)));
    const std::uint32_t reported =
        data[1] <= 88 ? data[1] : static_cast<std::uint32_t>(bytes.size());
    controller.link->responder = [&](const QByteArray&) { return LinkReply{reported, bytes}; };

    controller.form->ExchangePacket(RequestFrame(packet));
    controller.form->StatusTimerTimer();
    controller.messages->shown.clear();
    controller.link->written.clear();
    controller.link->readSizes.clear();
    controller.link->pipeResets.clear();
    return 0;
}
