// Writes the seed corpus of the reply-path fuzzer: the simulated unit's real replies to every
// request and data frame the control centre sends, in the fuzzer's input layout.

#include "protocol/Frame.h"
#include "protocol/PacketCodec.h"
#include "sim/UnitModel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QByteArray FrameBytes(const Frame& frame) {
    const auto length = FrameLength(frame).value_or(kDataFrameLength);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), length);
}

bool WriteSeed(const QString& folder, const QString& name, std::uint8_t packet,
               const QByteArray& reply) {
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray input;
    input.append(char(packet)).append(char(reply.size())).append(reply);
    return file.write(input) == input.size();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_reply_corpus FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    UnitModel unit;
    bool written = true;
    for (const std::uint8_t packet : {1, 2, 3, 6}) {
        const auto reply = unit.HandleFrame(FrameBytes(RequestFrame(packet)));
        written &=
            reply && WriteSeed(folder, QStringLiteral("request-%1").arg(packet), packet, *reply);
    }
    // A unit with every sensor fitted, one of them hot, in a fault state.
    unit.HoldTemperature(3, 125);
    unit.HoldTemperature(4, -200);
    unit.HoldTemperature(5, 650);
    unit.HoldState(84);
    const auto faulty = unit.HandleFrame(FrameBytes(RequestFrame(1)));
    written &= faulty && WriteSeed(folder, QStringLiteral("status-all-sensors-fault"), 1, *faulty);
    const Payload line = EncodeTextLine(QByteArray("HELLO WORLD"));
    for (const std::uint8_t packet : {6, 7}) {
        const auto reply = unit.HandleFrame(FrameBytes(DataFrame(packet, line)));
        written &=
            reply && WriteSeed(folder, QStringLiteral("data-%1").arg(packet), packet, *reply);
    }
    written &= WriteSeed(folder, QStringLiteral("short-ack"), 2, QByteArray::fromHex("010204"));
    return written ? 0 : 1;
}
