#pragma once

#include "usb/UsbBackend.h"
#include "usb/VirtualPortProtocol.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

// Simulated units plug in here: the control centre listens on a Unix socket in the user's
// private runtime folder; a connection is a unit being plugged in, its end an unplug. The
// device it presents has the unit's ids, the interface number the unit announced and the two
// bulk pipes; transfers behave as on USB, including a time-out when the unit stays silent.
class VirtualUnitPort : public UsbBackend {
public:
    explicit VirtualUnitPort(QString socketPath,
                             std::chrono::milliseconds helloTimeout = std::chrono::seconds(2));
    ~VirtualUnitPort() override;

    // $XDG_RUNTIME_DIR/tarvik-control-centre/unit-port
    static QString DefaultSocketPath();

    bool Start(UsbBackendSink& sink) override;
    void Stop() override;
    std::uint32_t SetInterface(std::uint64_t key, std::uint8_t interfaceNumber,
                               std::uint8_t alternateSetting) override;
    std::uint32_t ResetPipe(std::uint64_t key, std::uint8_t pipe) override;
    std::uint32_t Transfer(std::uint64_t key, std::uint8_t pipe, bool read, std::uint8_t* buffer,
                           std::uint32_t length, std::uint32_t& transferred,
                           std::uint32_t timeoutMs) override;
    void Release(std::uint64_t key) override;

    QString ErrorText() const { return errorText; }

private:
    struct Connection {
        int fd = -1;
        std::uint64_t key = 0;
        std::uint8_t interfaceNumber = 0;
        bool simulated = true;
        std::mutex mutex;
        std::condition_variable replyArrived;
        std::deque<QByteArray> replies;
        // Set once its Hello arrived: from then on it is a plugged-in device.
        bool plugged = false;
        bool gone = false;
        bool released = false;
        std::mutex writeMutex;
    };

    void AcceptLoop();
    void ReadLoop(std::shared_ptr<Connection> connection);
    bool AwaitHello(Connection& connection, VirtualPort::MessageReader& reader);
    bool ReadSome(Connection& connection, VirtualPort::MessageReader& reader, int timeoutMs);
    void Unplugged(const std::shared_ptr<Connection>& connection);
    // A plugged-in device that the program may use; null once it is gone or was declined.
    std::shared_ptr<Connection> Find(std::uint64_t key);
    bool WriteAll(Connection& connection, const QByteArray& bytes);

    const QString socketPath;
    const std::chrono::milliseconds helloTimeout;
    QString errorText;
    UsbBackendSink* sink = nullptr;
    int listenFd = -1;
    int wakePipe[2] = {-1, -1};
    std::atomic<bool> stopping{false};
    std::thread acceptThread;

    std::mutex mutex;
    std::condition_variable readersDone;
    int liveReaders = 0;
    std::map<std::uint64_t, std::shared_ptr<Connection>> connections;
    std::uint64_t nextKey = 1;
};
