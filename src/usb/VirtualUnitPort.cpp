#include "usb/VirtualUnitPort.h"

#include "platform/PrivateFolder.h"
#include "usb/UnitIds.h"
#include "usb/UsbStatus.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using VirtualPort::MessageType;

namespace {

UsbDeviceInfo SimulatedUnitInfo(std::uint8_t interfaceNumber, bool simulated) {
    UsbDeviceInfo info;
    info.vendorId = kUnitVendorId;
    info.productId = kUnitProductId;
    info.simulated = simulated;
    UsbInterfaceInfo interface;
    interface.number = interfaceNumber;
    interface.pipes = {UsbPipeInfo{0x02, 2, 64}, UsbPipeInfo{0x81, 2, 64}};
    info.activeInterfaces.push_back(interface);
    return info;
}

// Waits until fd is readable, the wake pipe fires or the time is up; true when readable.
bool WaitReadable(int fd, int wakeFd, int timeoutMs) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && (fds[1].revents & POLLIN) == 0 && fds[0].revents != 0;
    }
}

} // namespace

VirtualUnitPort::VirtualUnitPort(QString socketPath, std::chrono::milliseconds helloTimeout)
    : socketPath(std::move(socketPath)), helloTimeout(helloTimeout) {}

VirtualUnitPort::~VirtualUnitPort() {
    Stop();
}

QString VirtualUnitPort::DefaultSocketPath() {
    return RuntimeFolder() + QStringLiteral("/unit-port");
}

bool VirtualUnitPort::Start(UsbBackendSink& backendSink) {
    errorText = PreparePrivateFolder(QFileInfo(socketPath).absolutePath());
    if (!errorText.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
        errorText = QStringLiteral("socket path too long: %1").arg(socketPath);
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));

    // Only one control centre runs per user, so a socket left here is from a run that crashed.
    struct stat existing {};
    if (::lstat(path.constData(), &existing) == 0 && S_ISSOCK(existing.st_mode))
        ::unlink(path.constData());

    listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd < 0 ||
        ::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.constData(), 0600) != 0 || ::listen(listenFd, 8) != 0 ||
        ::pipe2(wakePipe, O_CLOEXEC) != 0) {
        errorText = QStringLiteral("cannot listen on %1: %2")
                        .arg(socketPath, QString::fromLocal8Bit(std::strerror(errno)));
        Stop();
        return false;
    }
    sink = &backendSink;
    stopping = false;
    acceptThread = std::thread(&VirtualUnitPort::AcceptLoop, this);
    return true;
}

void VirtualUnitPort::Stop() {
    stopping = true;
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    }
    if (acceptThread.joinable())
        acceptThread.join();
    {
        std::unique_lock lock(mutex);
        for (auto& [key, connection] : connections)
            ::shutdown(connection->fd, SHUT_RDWR);
        readersDone.wait(lock, [this] { return liveReaders == 0; });
        connections.clear();
    }
    if (listenFd >= 0) {
        ::close(listenFd);
        ::unlink(QFile::encodeName(socketPath).constData());
        listenFd = -1;
    }
    for (int& fd : wakePipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    sink = nullptr;
}

void VirtualUnitPort::AcceptLoop() {
    while (!stopping) {
        if (!WaitReadable(listenFd, wakePipe[0], -1))
            return;
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        auto connection = std::make_shared<Connection>();
        connection->fd = fd;
        std::lock_guard lock(mutex);
        connection->key = nextKey++;
        connections[connection->key] = connection;
        ++liveReaders;
        std::thread(&VirtualUnitPort::ReadLoop, this, connection).detach();
    }
}

bool VirtualUnitPort::ReadSome(Connection& connection, VirtualPort::MessageReader& reader,
                               int timeoutMs) {
    if (!WaitReadable(connection.fd, wakePipe[0], timeoutMs))
        return false;
    char buffer[512];
    const ssize_t count = ::recv(connection.fd, buffer, sizeof buffer, 0);
    if (count <= 0)
        return false;
    reader.Append(QByteArray(buffer, static_cast<qsizetype>(count)));
    return !reader.Failed();
}

void VirtualUnitPort::ReadLoop(std::shared_ptr<Connection> connection) {
    VirtualPort::MessageReader reader;
    if (AwaitHello(*connection, reader)) {
        while (!stopping && ReadSome(*connection, reader, -1)) {
            while (auto message = reader.Next()) {
                if (message->type == MessageType::Reply) {
                    std::lock_guard lock(connection->mutex);
                    connection->replies.push_back(message->body);
                    connection->replyArrived.notify_all();
                }
            }
        }
    }
    Unplugged(connection);
}

bool VirtualUnitPort::AwaitHello(Connection& connection, VirtualPort::MessageReader& reader) {
    const auto deadline = std::chrono::steady_clock::now() + helloTimeout;
    for (;;) {
        if (auto message = reader.Next()) {
            const auto hello = message->type == MessageType::Hello
                                   ? VirtualPort::DecodeHello(message->body)
                                   : std::nullopt;
            if (!hello)
                return false;
            connection.interfaceNumber = hello->interfaceNumber;
            connection.simulated = hello->simulated;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadSome(connection, reader, static_cast<int>(left.count())))
            return false;
    }
    UsbBackendSink* target = nullptr;
    {
        std::lock_guard lock(mutex);
        if (stopping)
            return false;
        std::lock_guard connectionLock(connection.mutex);
        connection.plugged = true;
        target = sink;
    }
    target->DeviceArrived(*this, connection.key,
                          SimulatedUnitInfo(connection.interfaceNumber, connection.simulated));
    return true;
}

void VirtualUnitPort::Unplugged(const std::shared_ptr<Connection>& connection) {
    bool wasPlugged = false;
    {
        std::lock_guard connectionLock(connection->mutex);
        wasPlugged = connection->plugged;
        connection->gone = true;
        connection->replyArrived.notify_all();
    }
    std::unique_lock lock(mutex);
    connections.erase(connection->key);
    UsbBackendSink* target = stopping ? nullptr : sink;
    if (wasPlugged && target)
        target->DeviceLeft(*this, connection->key);
    ::close(connection->fd);
    // Last: Stop() may return and destroy the port as soon as the count drops.
    --liveReaders;
    readersDone.notify_all();
}

std::shared_ptr<VirtualUnitPort::Connection> VirtualUnitPort::Find(std::uint64_t key) {
    std::lock_guard lock(mutex);
    const auto found = connections.find(key);
    if (found == connections.end())
        return nullptr;
    std::lock_guard connectionLock(found->second->mutex);
    const Connection& connection = *found->second;
    if (!connection.plugged || connection.gone || connection.released)
        return nullptr;
    return found->second;
}

bool VirtualUnitPort::WriteAll(Connection& connection, const QByteArray& bytes) {
    std::lock_guard lock(connection.writeMutex);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(connection.fd, bytes.constData() + sent,
                                     static_cast<std::size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        sent += count;
    }
    return true;
}

std::uint32_t VirtualUnitPort::SetInterface(std::uint64_t key, std::uint8_t interfaceNumber,
                                            std::uint8_t alternateSetting) {
    const auto connection = Find(key);
    if (!connection)
        return UsbStatus::DeviceNotFound;
    if (interfaceNumber != connection->interfaceNumber || alternateSetting != 0)
        return UsbStatus::InterfaceNotFound;
    return UsbStatus::Success;
}

std::uint32_t VirtualUnitPort::ResetPipe(std::uint64_t key, std::uint8_t pipe) {
    const auto connection = Find(key);
    if (!connection)
        return UsbStatus::DeviceNotFound;
    // A reply that arrived after its read timed out must not answer the next frame.
    if (pipe == 0x81) {
        std::lock_guard lock(connection->mutex);
        connection->replies.clear();
    }
    return UsbStatus::Success;
}

std::uint32_t VirtualUnitPort::Transfer(std::uint64_t key, std::uint8_t pipe, bool read,
                                        std::uint8_t* buffer, std::uint32_t length,
                                        std::uint32_t& transferred, std::uint32_t timeoutMs) {
    transferred = 0;
    const auto connection = Find(key);
    if (!connection)
        return UsbStatus::DeviceNotFound;
    if (pipe == 0x02 && !read) {
        const QByteArray frame(reinterpret_cast<const char*>(buffer),
                               static_cast<qsizetype>(length));
        if (!WriteAll(*connection, VirtualPort::Encode(MessageType::Frame, frame)))
            return UsbStatus::DeviceNotFound;
        transferred = length;
        return UsbStatus::Success;
    }
    if (pipe != 0x81 || !read)
        return UsbStatus::InvalidParameter;

    std::unique_lock lock(connection->mutex);
    const bool ready =
        connection->replyArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            return connection->gone || !connection->replies.empty();
        });
    if (connection->gone)
        return UsbStatus::DeviceNotFound;
    if (!ready)
        return UsbStatus::TimeOut;
    const QByteArray reply = connection->replies.front();
    connection->replies.pop_front();
    transferred = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(reply.size()));
    std::memcpy(buffer, reply.constData(), transferred);
    return static_cast<std::uint32_t>(reply.size()) > length ? UsbStatus::DataOverrun
                                                             : UsbStatus::Success;
}

void VirtualUnitPort::Release(std::uint64_t key) {
    // The connection stays open so that the declined unit does not plug in again and again;
    // it is simply never used.
    std::lock_guard lock(mutex);
    const auto found = connections.find(key);
    if (found == connections.end())
        return;
    std::lock_guard connectionLock(found->second->mutex);
    found->second->released = true;
}
