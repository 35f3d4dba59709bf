#include "sim/PortClient.h"

#include "usb/VirtualUnitPort.h"

PortClient::PortClient(const QString& path, const VirtualPort::Hello& hello, QObject* parent)
    : QObject(parent), path(path), hello(hello) {
    retryTimer.setSingleShot(true);
    retryTimer.setInterval(kRetryMs);
    connect(&retryTimer, &QTimer::timeout, this, &PortClient::TryConnect);
    connect(&socket, &QLocalSocket::connected, this, &PortClient::Connected);
    connect(&socket, &QLocalSocket::readyRead, this, &PortClient::ReadMessages);
    // A refused or missing port ends in the unconnected state without a disconnect signal, and
    // the error comes before the state has changed, so the state change is what counts.
    connect(&socket, &QLocalSocket::stateChanged, this,
            [this](QLocalSocket::LocalSocketState state) {
                if (state == QLocalSocket::UnconnectedState)
                    Lost();
            });
}

QString PortClient::DefaultPath() {
    return VirtualUnitPort::DefaultSocketPath();
}

void PortClient::Plug() {
    if (wanted)
        return;
    wanted = true;
    TryConnect();
}

void PortClient::Unplug() {
    wanted = false;
    retryTimer.stop();
    attached = false;
    // abort() rather than a graceful close: a pulled cable does not finish its transfers.
    socket.abort();
    reader = VirtualPort::MessageReader();
}

void PortClient::TryConnect() {
    if (!wanted || socket.state() != QLocalSocket::UnconnectedState)
        return;
    socket.connectToServer(path);
}

void PortClient::Connected() {
    reader = VirtualPort::MessageReader();
    socket.write(VirtualPort::EncodeHello(hello));
    attached = true;
}

void PortClient::ReadMessages() {
    reader.Append(socket.readAll());
    while (const std::optional<VirtualPort::Message> message = reader.Next()) {
        if (message->type == VirtualPort::MessageType::Frame)
            emit frameReceived(message->body);
        // A handler may have unplugged the unit meanwhile.
        if (!attached)
            return;
    }
    if (reader.Failed()) {
        // The control centre speaks something else: drop the link and plug in afresh.
        socket.abort();
        Lost();
    }
}

void PortClient::Lost() {
    attached = false;
    if (wanted && !retryTimer.isActive())
        retryTimer.start();
}

void PortClient::SendReply(const QByteArray& bytes) {
    if (attached)
        socket.write(VirtualPort::Encode(VirtualPort::MessageType::Reply, bytes));
}
