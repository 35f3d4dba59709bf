#include "usb/DeviceLayer.h"
#include "usb/FakeDriverPort.h"
#include "usb/UsbStatus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace {

using namespace UsbDriverRequests;

UsbDeviceInfo UnitInfo(std::uint8_t firstInterface = 0) {
    UsbDeviceInfo info;
    info.vendorId = 0x1209;
    info.productId = 0x7A52;
    UsbInterfaceInfo interface;
    interface.number = firstInterface;
    info.activeInterfaces.push_back(interface);
    return info;
}

// What the program's callbacks saw, from the listener thread.
struct CallbackLog {
    std::mutex mutex;
    std::vector<WDU_DEVICE_HANDLE> attached;
    std::vector<WDU_DEVICE_HANDLE> detached;
    std::vector<std::uint32_t> powerActions;
    std::thread::id callbackThread;
    bool accept = true;
    int interfaceSeen = -1;

    static bool Attach(WDU_DEVICE_HANDLE device, const UsbDeviceInfo* info, void* data) {
        auto* log = static_cast<CallbackLog*>(data);
        std::lock_guard lock(log->mutex);
        log->attached.push_back(device);
        log->callbackThread = std::this_thread::get_id();
        log->interfaceSeen = info->activeInterfaces.at(0).number;
        return log->accept;
    }
    static void Detach(WDU_DEVICE_HANDLE device, void* data) {
        auto* log = static_cast<CallbackLog*>(data);
        std::lock_guard lock(log->mutex);
        log->detached.push_back(device);
        log->callbackThread = std::this_thread::get_id();
    }
    static bool Power(WDU_DEVICE_HANDLE, std::uint32_t action, void* data) {
        auto* log = static_cast<CallbackLog*>(data);
        std::lock_guard lock(log->mutex);
        log->powerActions.push_back(action);
        return true;
    }
};

class DeviceLayer : public ::testing::Test {
protected:
    std::uint32_t Init(bool detach = true, bool power = false) {
        events.pfDeviceAttach = &CallbackLog::Attach;
        events.pfDeviceDetach = detach ? &CallbackLog::Detach : nullptr;
        events.pfPowerChange = power ? &CallbackLog::Power : nullptr;
        events.pUserData = &log;
        return layer.WDU_Init(&driver, &match, 1, &events, EventOption::Acknowledge);
    }
    void TearDown() override {
        if (driver != InvalidDriverHandle())
            layer.WDU_Uninit(driver);
    }

    FakeDriverPort port;
    UsbDeviceLayer layer{port, std::chrono::milliseconds(500)};
    WDU_MATCH_TABLE match{0x1209, 0x7A52, 0, 0, 0, 0, 0};
    WDU_EVENT_TABLE events;
    CallbackLog log;
    WDU_DRIVER_HANDLE driver = InvalidDriverHandle();
};

TEST_F(DeviceLayer, AbsentDriverFailsAndUndoesItsOwnWork) {
    port.openFails = true;
    EXPECT_EQ(Init(), UsbStatus::InternalError);
    EXPECT_EQ(driver, InvalidDriverHandle());
    EXPECT_EQ(layer.InitCount(), 0);
    EXPECT_FALSE(layer.HasListLock());

    layer.WDU_Uninit(driver);
    EXPECT_EQ(layer.InitCount(), 0);

    port.openFails = false;
    EXPECT_EQ(Init(), UsbStatus::Success);
    EXPECT_EQ(layer.InitCount(), 1);
    EXPECT_TRUE(layer.HasListLock());
}

struct VersionCase {
    const char* name;
    std::uint32_t version;
    std::uint32_t queryStatus;
    std::uint32_t expected;
};

class DriverVersion : public DeviceLayer, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(DriverVersion, OnlyVersion601AndLaterAreTaken) {
    port.version = GetParam().version;
    port.versionStatus = GetParam().queryStatus;
    EXPECT_EQ(Init(), GetParam().expected);
    EXPECT_EQ(layer.InitCount(), GetParam().expected == UsbStatus::Success ? 1 : 0);
    // The listener waits on a handle of its own, so only the layer's first one is checked.
    if (GetParam().expected == UsbStatus::Success)
        EXPECT_TRUE(port.IsOpen(port.firstHandle));
    else
        EXPECT_EQ(port.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriverVersion,
    ::testing::Values(VersionCase{"v600", 600, UsbStatus::Success, UsbStatus::IncorrectVersion},
                      VersionCase{"v601", 601, UsbStatus::Success, UsbStatus::Success},
                      VersionCase{"queryFailed", 900, 0x20000099, 0x20000099}),
    [](const auto& info) { return std::string(info.param.name); });

struct RegistrationCase {
    const char* name;
    bool attach;
    bool detach;
    bool power;
    bool registers;
    std::uint32_t actions;
};

class Registration : public DeviceLayer, public ::testing::WithParamInterface<RegistrationCase> {};

TEST_P(Registration, ActionMaskFollowsTheCallbacksGiven) {
    const RegistrationCase& c = GetParam();
    events.pfDeviceAttach = c.attach ? &CallbackLog::Attach : nullptr;
    events.pfDeviceDetach = c.detach ? &CallbackLog::Detach : nullptr;
    events.pfPowerChange = c.power ? &CallbackLog::Power : nullptr;
    events.pUserData = &log;
    ASSERT_EQ(layer.WDU_Init(&driver, &match, 1, &events, 1), UsbStatus::Success);
    EXPECT_EQ(port.registered, c.registers);
    if (c.registers) {
        EXPECT_EQ(port.registeredActions, c.actions);
        EXPECT_EQ(port.registeredOptions, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Registration,
    ::testing::Values(RegistrationCase{"attachOnly", true, false, false, true, 0x1},
                      RegistrationCase{"attachDetach", true, true, false, true, 0x3},
                      RegistrationCase{"allThree", true, true, true, true, 0x3FF3},
                      RegistrationCase{"attachPower", true, false, true, true, 0x3FF1},
                      RegistrationCase{"noAttach", false, true, true, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceLayer, RegistrationFailureIsReturnedAndUndone) {
    port.registerStatus = 0x20000077;
    EXPECT_EQ(Init(), 0x20000077u);
    EXPECT_EQ(driver, InvalidDriverHandle());
    EXPECT_EQ(layer.InitCount(), 0);
    EXPECT_TRUE(port.OpenHandleCount() == 0u);
}

TEST_F(DeviceLayer, InsertAndRemoveRunTheCallbacksOnTheListenerAndRetireTheHandle) {
    ASSERT_EQ(Init(), UsbStatus::Success);
    port.Plug(7, UnitInfo());
    ASSERT_TRUE(port.AwaitSentBack(1));
    ASSERT_EQ(log.attached.size(), 1u);
    WDU_DEVICE_HANDLE device = log.attached[0];
    EXPECT_EQ(layer.DeviceCount(), 1u);
    EXPECT_NE(log.callbackThread, std::this_thread::get_id());
    EXPECT_EQ(port.SentBack()[0].options & EventOption::AcceptControl, EventOption::AcceptControl);

    std::uint8_t buffer[8] = {};
    std::uint32_t transferred = 0;
    EXPECT_EQ(layer.WDU_SetInterface(device, 0, 0), UsbStatus::Success);
    EXPECT_EQ(layer.WDU_Transfer(device, 2, false, 0, buffer, 3, &transferred, nullptr, 3000),
              UsbStatus::Success);
    EXPECT_EQ(transferred, 3u);

    port.Unplug(7);
    ASSERT_TRUE(port.AwaitSentBack(2));
    EXPECT_EQ(log.detached, std::vector<WDU_DEVICE_HANDLE>{device});
    EXPECT_EQ(layer.DeviceCount(), 0u);

    const std::size_t requestsBefore = port.Requests().size();
    EXPECT_EQ(layer.WDU_SetInterface(device, 0, 0), UsbStatus::DeviceNotFound);
    EXPECT_EQ(layer.WDU_ResetPipe(device, 0x81), UsbStatus::DeviceNotFound);
    EXPECT_EQ(layer.WDU_Transfer(device, 0x81, true, 0, buffer, 8, &transferred, nullptr, 3000),
              UsbStatus::DeviceNotFound);
    EXPECT_EQ(layer.WDU_Transfer(nullptr, 0x81, true, 0, buffer, 8, &transferred, nullptr, 3000),
              UsbStatus::DeviceNotFound);
    // None of them reached the driver.
    EXPECT_EQ(port.Requests().size(), requestsBefore);
}

TEST_F(DeviceLayer, TransfersUseADriverHandleOfTheirOwn) {
    ASSERT_EQ(Init(), UsbStatus::Success);
    port.Plug(3, UnitInfo());
    ASSERT_TRUE(port.AwaitSentBack(1));
    std::uint8_t buffer[3] = {1, 1, 4};
    std::uint32_t transferred = 0;
    layer.WDU_Transfer(log.attached.at(0), 2, false, 0, buffer, 3, &transferred, nullptr, 3000);
    layer.WDU_ResetPipe(log.attached.at(0), 2);
    const auto requests = port.Requests();
    ASSERT_EQ(std::string(requests.back().name), "resetPipe");
    EXPECT_EQ(requests.back().handle, port.firstHandle);
    const auto transfer = requests[requests.size() - 2];
    ASSERT_EQ(std::string(transfer.name), "transfer");
    EXPECT_NE(transfer.handle, port.firstHandle);
    EXPECT_EQ(transfer.uniqueId, 3u);
    // The transfer's handle was closed again.
    EXPECT_EQ(port.IsOpen(transfer.handle), false);
}

TEST_F(DeviceLayer, DeclinedDeviceLeavesNoEntryAndIsSentBackWithoutAcceptance) {
    log.accept = false;
    ASSERT_EQ(Init(), UsbStatus::Success);
    port.Plug(9, UnitInfo());
    ASSERT_TRUE(port.AwaitSentBack(1));
    EXPECT_EQ(log.attached.size(), 1u);
    EXPECT_EQ(layer.DeviceCount(), 0u);
    EXPECT_EQ(port.SentBack()[0].options & EventOption::AcceptControl, 0u);
    // Its later removal is ignored: no detach for a device the program never took.
    port.Unplug(9);
    ASSERT_TRUE(port.AwaitSentBack(2));
    EXPECT_TRUE(log.detached.empty());
}

TEST_F(DeviceLayer, DeviceWithoutInformationIsNeverOffered) {
    ASSERT_EQ(Init(), UsbStatus::Success);
    port.Raise(Action::Insert, 11); // no info scripted for id 11
    ASSERT_TRUE(port.AwaitSentBack(1));
    EXPECT_TRUE(log.attached.empty());
    EXPECT_EQ(layer.DeviceCount(), 0u);
    EXPECT_EQ(port.SentBack()[0].options & EventOption::AcceptControl, 0u);
}

TEST_F(DeviceLayer, ReplugGivesANewHandleAndTheOldOneStaysInvalid) {
    ASSERT_EQ(Init(), UsbStatus::Success);
    port.Plug(1, UnitInfo());
    ASSERT_TRUE(port.AwaitSentBack(1));
    WDU_DEVICE_HANDLE first = log.attached.at(0);
    port.Unplug(1);
    port.Plug(2, UnitInfo());
    ASSERT_TRUE(port.AwaitSentBack(3));
    ASSERT_EQ(log.attached.size(), 2u);
    WDU_DEVICE_HANDLE second = log.attached.at(1);
    EXPECT_EQ(layer.WDU_ResetPipe(second, 2), UsbStatus::Success);
    if (first != second) { // an allocator may hand out the same address again
        EXPECT_EQ(layer.WDU_ResetPipe(first, 2), UsbStatus::DeviceNotFound);
    }
    EXPECT_EQ(layer.DeviceCount(), 1u);
}

TEST_F(DeviceLayer, PowerChangesReachTheirCallbackOnlyForListedDevices) {
    ASSERT_EQ(Init(true, true), UsbStatus::Success);
    port.Plug(5, UnitInfo());
    port.Raise(0x40, 5);
    port.Raise(0x80, 99);  // not listed
    port.Raise(0x4000, 5); // not a power action: ignored
    ASSERT_TRUE(port.AwaitSentBack(4));
    EXPECT_EQ(log.powerActions, std::vector<std::uint32_t>{0x40});
}

TEST_F(DeviceLayer, UninitEndsTheListenerAndForgetsTheDevices) {
    ASSERT_EQ(Init(), UsbStatus::Success);
    port.Plug(5, UnitInfo());
    ASSERT_TRUE(port.AwaitSentBack(1));
    WDU_DEVICE_HANDLE device = log.attached.at(0);
    layer.WDU_Uninit(driver);
    driver = InvalidDriverHandle();
    EXPECT_EQ(layer.InitCount(), 0);
    EXPECT_FALSE(port.registered);
    EXPECT_TRUE(port.OpenHandleCount() == 0u);
    EXPECT_TRUE(log.detached.empty());
    EXPECT_EQ(layer.WDU_ResetPipe(device, 2), UsbStatus::InternalError);
}

struct StatusTextCase {
    std::uint32_t status;
    const char* text;
};

TEST(UsbStatusText, KnownCodesHaveTheirTextAndOthersAreUnrecognized) {
    const StatusTextCase cases[] = {
        {0, "Success"},
        {0x2000000F, "Device not found"},
        {0x20000015, "TimeOut expired"},
        {0x20000007, "Internal system error"},
        {0x20000101, "Pipe stalled"},
        {0x12345678, "Unrecognized error code"},
    };
    for (const StatusTextCase& c : cases)
        EXPECT_EQ(UsbStatusText(c.status).toStdString(), c.text) << std::hex << c.status;
}

} // namespace
