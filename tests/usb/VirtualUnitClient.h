#pragma once

#include "usb/VirtualPortProtocol.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <atomic>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A minimal simulated unit for tests: plugs into the virtual port and answers each frame with
// what the responder returns (nothing when it returns no value).
class VirtualUnitClient {
public:
    using Responder = std::function<std::optional<QByteArray>(const QByteArray& frame)>;

    explicit VirtualUnitClient(Responder responder) : responder(std::move(responder)) {}
    ~VirtualUnitClient() { Unplug(); }

    bool Plug(const QString& path, std::uint8_t interfaceNumber = 0, bool sendHello = true) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray encoded = QFile::encodeName(path);
        std::strncpy(address.sun_path, encoded.constData(), sizeof address.sun_path - 1);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            fd = -1;
            return false;
        }
        if (sendHello) {
            VirtualPort::Hello hello;
            hello.interfaceNumber = interfaceNumber;
            Send(VirtualPort::EncodeHello(hello));
        }
        running = true;
        reader = std::thread([this] { Serve(); });
        return true;
    }

    void Unplug() {
        running = false;
        if (fd >= 0)
            ::shutdown(fd, SHUT_RDWR);
        if (reader.joinable())
            reader.join();
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    std::atomic<int> framesReceived{0};

private:
    void Send(const QByteArray& bytes) {
        [[maybe_unused]] const ssize_t sent =
            ::send(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()), MSG_NOSIGNAL);
    }

    void Serve() {
        VirtualPort::MessageReader messages;
        char buffer[512];
        while (running) {
            const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
            if (count <= 0)
                return;
            messages.Append(QByteArray(buffer, static_cast<qsizetype>(count)));
            while (auto message = messages.Next()) {
                if (message->type != VirtualPort::MessageType::Frame)
                    continue;
                ++framesReceived;
                if (const auto reply = responder(message->body))
                    Send(VirtualPort::Encode(VirtualPort::MessageType::Reply, *reply));
            }
        }
    }

    Responder responder;
    int fd = -1;
    std::atomic<bool> running{false};
    std::thread reader;
};
