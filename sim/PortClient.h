#pragma once

#include "usb/VirtualPortProtocol.h"

#include <QLocalSocket>
#include <QObject>
#include <QTimer>

// The simulated unit's end of the control centre's virtual unit port. Being connected is
// being plugged in: the unit says Hello first, then receives frames and sends replies.
//
// While the unit is meant to be plugged in, the client keeps trying every 100 ms, both before
// the port exists and after the control centre has gone away, so a restarted control centre
// finds the unit again by itself.
class PortClient : public QObject {
    Q_OBJECT

public:
    static constexpr int kRetryMs = 100;

    PortClient(const QString& path, const VirtualPort::Hello& hello, QObject* parent = nullptr);

    // The port of a control centre run by this user.
    static QString DefaultPath();

    void Plug();
    // Disconnects and stays unplugged until the next Plug().
    void Unplug();
    bool Attached() const { return attached; }

    void SendReply(const QByteArray& bytes);

signals:
    void frameReceived(const QByteArray& frame);

private:
    void TryConnect();
    void Connected();
    void ReadMessages();
    void Lost();

    QString path;
    VirtualPort::Hello hello;
    QLocalSocket socket;
    QTimer retryTimer;
    VirtualPort::MessageReader reader;
    bool wanted = false;
    bool attached = false;
};
