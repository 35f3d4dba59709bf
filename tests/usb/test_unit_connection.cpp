#include "usb/DeviceLayer.h"
#include "usb/UsbDriver.h"
#include "usb/UsbStatus.h"
#include "usb/UsbUnitConnection.h"
#include "usb/VirtualUnitClient.h"
#include "usb/VirtualUnitPort.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// Echoes a request frame's packet number back as a 28-byte data reply.
std::optional<QByteArray> EchoUnit(const QByteArray& frame) {
    QByteArray reply("\x01", 1);
    reply.append(frame.at(1)).append('\x02').append(QByteArray(24, 'u')).append('\x04');
    return reply;
}

// The real stack over the virtual port, as the program builds it (without libusb).
class UnitConnection : public ::testing::Test {
protected:
    UnitConnection() {
        std::vector<std::unique_ptr<UsbBackend>> backends;
        auto virtualPort = std::make_unique<VirtualUnitPort>(PortPath(), 500ms);
        port = virtualPort.get();
        backends.push_back(std::move(virtualPort));
        driver = std::make_unique<UsbDriver>(std::move(backends));
        driver->Start();
        layer = std::make_unique<UsbDeviceLayer>(*driver);
        connection = std::make_unique<UsbUnitConnection>(
            *layer, [this] { return driverAvailable; },
            [this](const QString& program, const QStringList& arguments) {
                ran.append(program + " " + arguments.join(' '));
                return 0;
            },
            "/opt/tcc/install-unit-access", 400ms);
    }
    ~UnitConnection() override {
        connection.reset();
        layer.reset();
        driver.reset();
    }
    QString PortPath() const { return runtime.path() + "/tcc/unit-port"; }

    std::uint32_t Exchange(QByteArray frame, QByteArray* reply = nullptr) {
        std::uint8_t buffer[100] = {};
        const std::uint32_t result =
            connection->TransferFrame(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                                      static_cast<std::uint8_t>(frame.size()), buffer, 88);
        if (reply)
            *reply = QByteArray(reinterpret_cast<const char*>(buffer), 28);
        return result;
    }

    QTemporaryDir runtime;
    VirtualUnitPort* port = nullptr;
    std::unique_ptr<UsbDriver> driver;
    std::unique_ptr<UsbDeviceLayer> layer;
    std::unique_ptr<UsbUnitConnection> connection;
    bool driverAvailable = true;
    QStringList ran;
};

TEST_F(UnitConnection, PluggedUnitIsTakenAndAnswersFrames) {
    VirtualUnitClient unit(EchoUnit);
    ASSERT_TRUE(unit.Plug(PortPath()));
    EXPECT_TRUE(connection->OpenUsbSession());
    EXPECT_TRUE(connection->IsSimulatedUnit());
    QByteArray reply;
    EXPECT_EQ(Exchange(QByteArray("\x01\x06\x04", 3), &reply), 28u);
    EXPECT_EQ(reply.left(3), QByteArray("\x01\x06\x02", 3));
}

TEST_F(UnitConnection, NoUnitFailsAfterTheAttachWait) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(connection->OpenUsbSession());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 350ms);
    EXPECT_EQ(layer->InitCount(), 0);
}

TEST_F(UnitConnection, UnitWhoseFirstInterfaceIsNotZeroIsDeclined) {
    VirtualUnitClient unit(EchoUnit);
    ASSERT_TRUE(unit.Plug(PortPath(), 1));
    EXPECT_FALSE(connection->OpenUsbSession());
}

TEST_F(UnitConnection, SecondUnitIsDeclinedAndTheFirstStaysInUse) {
    VirtualUnitClient first(EchoUnit);
    ASSERT_TRUE(first.Plug(PortPath()));
    ASSERT_TRUE(connection->OpenUsbSession());
    WDU_DEVICE_HANDLE held = connection->AttachedDevice();

    VirtualUnitClient second(EchoUnit);
    ASSERT_TRUE(second.Plug(PortPath()));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(connection->AttachedDevice(), held);
    EXPECT_EQ(Exchange(QByteArray("\x01\x01\x04", 3)), 28u);
    EXPECT_EQ(first.framesReceived, 1);
    EXPECT_EQ(second.framesReceived, 0);
}

TEST_F(UnitConnection, UnplugFailsAtOnceAndReplugWorksWithoutRestart) {
    auto unit = std::make_unique<VirtualUnitClient>(EchoUnit);
    ASSERT_TRUE(unit->Plug(PortPath()));
    ASSERT_TRUE(connection->OpenUsbSession());
    unit.reset();

    // The detach reaches the connection on the listener thread.
    for (int i = 0; i < 100 && connection->AttachedDevice(); ++i)
        std::this_thread::sleep_for(10ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Exchange(QByteArray("\x01\x01\x04", 3)), 0u);
    connection->ResetUsbPipe(0x02);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);

    VirtualUnitClient again(EchoUnit);
    ASSERT_TRUE(again.Plug(PortPath()));
    for (int i = 0; i < 100 && !connection->AttachedDevice(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(Exchange(QByteArray("\x01\x01\x04", 3)), 28u);
}

TEST_F(UnitConnection, SilentUnitTimesOutAndALateReplyIsDroppedByThePipeReset) {
    std::atomic<bool> silent{true};
    VirtualUnitClient unit([&](const QByteArray& frame) -> std::optional<QByteArray> {
        if (silent)
            return std::nullopt;
        return EchoUnit(frame);
    });
    ASSERT_TRUE(unit.Plug(PortPath()));
    ASSERT_TRUE(connection->OpenUsbSession());
    EXPECT_EQ(Exchange(QByteArray("\x01\x01\x04", 3)), UsbStatus::TimeOut);
    silent = false;
    QByteArray reply;
    EXPECT_EQ(Exchange(QByteArray("\x01\x02\x04", 3), &reply), 28u);
    EXPECT_EQ(reply.at(1), 2);
}

TEST_F(UnitConnection, UnitThatNeverIntroducesItselfIsNotPlugged) {
    VirtualUnitClient unit(EchoUnit);
    ASSERT_TRUE(unit.Plug(PortPath(), 0, false));
    EXPECT_FALSE(connection->OpenUsbSession());
}

TEST_F(UnitConnection, InstallerRunsThroughPkexecOnlyWhenTheDriverCannotBeOpened) {
    EXPECT_TRUE(connection->EnsureDriverInstalled());
    EXPECT_TRUE(ran.isEmpty());
    driverAvailable = false;
    EXPECT_FALSE(connection->EnsureDriverInstalled());
    EXPECT_EQ(ran, QStringList{"pkexec /opt/tcc/install-unit-access"});
}

TEST(VirtualPortSocket, RefusesAFolderThatIsNotTheUsers) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link("/", dir.path() + "/elsewhere"));
    VirtualUnitPort port(dir.path() + "/elsewhere/unit-port");
    struct NullSink : UsbBackendSink {
        void DeviceArrived(UsbBackend&, std::uint64_t, const UsbDeviceInfo&) override {}
        void DeviceLeft(UsbBackend&, std::uint64_t) override {}
    } sink;
    EXPECT_FALSE(port.Start(sink));
    EXPECT_FALSE(port.ErrorText().isEmpty());
}

} // namespace
