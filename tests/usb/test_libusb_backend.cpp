// The libusb backend against an emulated unit: umockdev supplies the sysfs entry, the uevents
// and the device node, and a small model of the unit answers the usbdevfs requests that libusb
// makes. Must run under umockdev-wrapper.

// umockdev's GLib headers name a struct member "signals", which Qt's headers turn into a
// keyword; they go first.
#include <umockdev.h>

#include "usb/LibusbBackend.h"
#include "usb/UnitIds.h"
#include "usb/UsbStatus.h"

#include <gtest/gtest.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kOutPipe = 0x02;
constexpr std::uint8_t kInPipe = 0x81;
constexpr auto kEventDeadline = 5s;

// The unit's reply to a frame: the frame with every byte inverted, so that a reply never
// equals the frame and a byte in the wrong place shows.
Bytes ReplyTo(const Bytes& frame) {
    Bytes reply(frame);
    for (auto& byte : reply)
        byte = static_cast<std::uint8_t>(~byte);
    return reply;
}

// The unit as usbdevfs sees it: claimed interfaces, halted endpoints, URBs in flight. An OUT
// URB on 0x02 queues the reply to its frame; an IN URB on 0x81 completes with the next reply.
// Called on umockdev's ioctl thread while the test thread flips the switches.
class UnitModel {
public:
    // OUT frames are taken but never answered, so IN URBs stay pending.
    void SetSilent(bool value) {
        std::lock_guard lock(mutex);
        silent = value;
    }
    // The endpoint stalls every URB until a CLEAR_HALT for it arrives.
    void Halt(std::uint8_t endpoint) {
        std::lock_guard lock(mutex);
        halted[endpoint] = true;
    }
    // What the kernel does when the device goes: URBs in flight end with -ENODEV and every
    // later request fails with ENODEV.
    void Unplug() {
        std::lock_guard lock(mutex);
        unplugged = true;
        while (!pendingIn.empty()) {
            Finish(pendingIn.front(), -ENODEV, {});
            pendingIn.pop_front();
        }
    }

    std::vector<Bytes> Frames() const {
        std::lock_guard lock(mutex);
        return frames;
    }
    std::vector<unsigned> ClearedHalts() const {
        std::lock_guard lock(mutex);
        return clearedHalts;
    }
    std::vector<unsigned> Claimed() const {
        std::lock_guard lock(mutex);
        return claimed;
    }
    std::vector<unsigned> Released() const {
        std::lock_guard lock(mutex);
        return released;
    }
    std::vector<std::pair<unsigned, unsigned>> SelectedSettings() const {
        std::lock_guard lock(mutex);
        return selectedSettings;
    }
    std::size_t SubmittedUrbs() const {
        std::lock_guard lock(mutex);
        return submitted;
    }
    std::size_t PendingInUrbs() const {
        std::lock_guard lock(mutex);
        return pendingIn.size();
    }
    std::vector<unsigned long> UnknownRequests() const {
        std::lock_guard lock(mutex);
        return unknownRequests;
    }

    void Handle(UMockdevIoctlClient* client) {
        const unsigned long request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        bool nothingToReap = false;
        int result = 0;
        int error = 0;
        {
            std::lock_guard lock(mutex);
            const bool reap = request == USBDEVFS_REAPURBNDELAY || request == USBDEVFS_REAPURB;
            // URBs that ended with the unplug can still be reaped, as with the real kernel.
            if (unplugged && !(reap && !reapable.empty())) {
                result = -1;
                error = ENODEV;
                nothingToReap = reap;
            } else {
                switch (request) {
                case USBDEVFS_GET_CAPABILITIES: {
                    UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, 4, nullptr);
                    *reinterpret_cast<std::uint32_t*>(caps->data) =
                        USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
                    break;
                }
                case USBDEVFS_CLAIMINTERFACE:
                case USBDEVFS_RELEASEINTERFACE: {
                    UMockdevIoctlData* number = umockdev_ioctl_data_resolve(arg, 0, 4, nullptr);
                    const unsigned value = *reinterpret_cast<unsigned*>(number->data);
                    (request == USBDEVFS_CLAIMINTERFACE ? claimed : released).push_back(value);
                    break;
                }
                case USBDEVFS_DISCONNECT_CLAIM: {
                    UMockdevIoctlData* claim = umockdev_ioctl_data_resolve(
                        arg, 0, sizeof(usbdevfs_disconnect_claim), nullptr);
                    claimed.push_back(
                        reinterpret_cast<usbdevfs_disconnect_claim*>(claim->data)->interface);
                    break;
                }
                case USBDEVFS_SETINTERFACE: {
                    UMockdevIoctlData* setting =
                        umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_setinterface), nullptr);
                    const auto* value = reinterpret_cast<usbdevfs_setinterface*>(setting->data);
                    selectedSettings.emplace_back(value->interface, value->altsetting);
                    break;
                }
                case USBDEVFS_CLEAR_HALT: {
                    UMockdevIoctlData* endpoint = umockdev_ioctl_data_resolve(arg, 0, 4, nullptr);
                    const unsigned value = *reinterpret_cast<unsigned*>(endpoint->data);
                    clearedHalts.push_back(value);
                    halted[value] = false;
                    break;
                }
                case USBDEVFS_GETDRIVER:
                    // No kernel driver is bound to the unit.
                    result = -1;
                    error = ENODATA;
                    break;
                case USBDEVFS_IOCTL:
                    // Re-attaching a kernel driver after release: there is none.
                    result = -1;
                    error = ENODATA;
                    break;
                case USBDEVFS_SUBMITURB:
                    Submit(arg);
                    break;
                case USBDEVFS_REAPURB:
                case USBDEVFS_REAPURBNDELAY:
                    if (reapable.empty()) {
                        result = -1;
                        error = EAGAIN;
                        nothingToReap = true;
                    } else {
                        UMockdevIoctlData* urb = reapable.front();
                        reapable.pop_front();
                        UMockdevIoctlData* pointer =
                            umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
                        umockdev_ioctl_data_set_ptr(pointer, 0, urb);
                        g_object_unref(urb);
                    }
                    break;
                case USBDEVFS_DISCARDURB: {
                    const auto address = *reinterpret_cast<gulong*>(arg->data);
                    const auto it =
                        std::find_if(pendingIn.begin(), pendingIn.end(), [address](const Urb& urb) {
                            return urb.urb->client_addr == address;
                        });
                    if (it == pendingIn.end()) {
                        result = -1;
                        error = EINVAL;
                    } else {
                        Finish(*it, -ENOENT, {});
                        pendingIn.erase(it);
                    }
                    break;
                }
                default:
                    unknownRequests.push_back(request);
                    result = -1;
                    error = ENOTTY;
                    break;
                }
            }
        }
        // The emulated device node always polls ready, so libusb's event loop reaps without
        // pause; holding back the empty answers keeps the tests from burning a core.
        if (nothingToReap)
            g_usleep(1000);
        umockdev_ioctl_client_complete(client, result, error);
    }

private:
    struct Urb {
        UMockdevIoctlData* urb;    // one reference held
        UMockdevIoctlData* buffer; // owned by urb
    };

    void Submit(UMockdevIoctlData* arg) {
        ++submitted;
        UMockdevIoctlData* urbData =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
        UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(
            urbData, offsetof(usbdevfs_urb, buffer), urb->buffer_length, nullptr);
        const Urb entry{static_cast<UMockdevIoctlData*>(g_object_ref(urbData)), buffer};
        const std::uint8_t endpoint = urb->endpoint;

        if (halted[endpoint]) {
            Finish(entry, -EPIPE, {});
        } else if ((endpoint & 0x80) == 0) {
            Bytes frame(buffer ? buffer->data : nullptr,
                        buffer ? buffer->data + urb->buffer_length : nullptr);
            if (endpoint == kOutPipe)
                frames.push_back(frame);
            if (!silent)
                replies.push_back(ReplyTo(frame));
            Finish(entry, 0, frame);
            AnswerPendingIn();
        } else {
            pendingIn.push_back(entry);
            AnswerPendingIn();
        }
    }

    void AnswerPendingIn() {
        while (!pendingIn.empty() && !replies.empty()) {
            const Urb entry = pendingIn.front();
            pendingIn.pop_front();
            const Bytes reply = replies.front();
            replies.pop_front();
            const auto* urb = reinterpret_cast<usbdevfs_urb*>(entry.urb->data);
            // A reply longer than the URB is babble: the kernel reports an overflow.
            const int status = static_cast<int>(reply.size()) > urb->buffer_length ? -EOVERFLOW : 0;
            Finish(entry, status, reply);
        }
    }

    // Completes the URB; the next reap hands it to libusb.
    void Finish(const Urb& entry, int status, const Bytes& data) {
        auto* urb = reinterpret_cast<usbdevfs_urb*>(entry.urb->data);
        const int count = std::min<int>(static_cast<int>(data.size()), urb->buffer_length);
        if ((urb->endpoint & 0x80) != 0 && count > 0)
            std::memcpy(entry.buffer->data, data.data(), static_cast<std::size_t>(count));
        urb->actual_length = status == 0 || status == -EOVERFLOW ? count : 0;
        urb->status = status;
        reapable.push_back(entry.urb);
    }

    mutable std::mutex mutex;
    bool silent = false;
    bool unplugged = false;
    std::map<unsigned, bool> halted;
    std::deque<Bytes> replies;
    std::deque<Urb> pendingIn;
    std::deque<UMockdevIoctlData*> reapable; // one reference each
    std::vector<Bytes> frames;
    std::vector<unsigned> clearedHalts;
    std::vector<unsigned> claimed;
    std::vector<unsigned> released;
    std::vector<std::pair<unsigned, unsigned>> selectedSettings;
    std::vector<unsigned long> unknownRequests;
    std::size_t submitted = 0;
};

struct SinkEvent {
    bool arrived;
    std::uint64_t key;
    UsbDeviceInfo info;
};

class RecordingSink : public UsbBackendSink {
public:
    void DeviceArrived(UsbBackend&, std::uint64_t key, const UsbDeviceInfo& info) override {
        Record({true, key, info});
    }
    void DeviceLeft(UsbBackend&, std::uint64_t key) override { Record({false, key, {}}); }

    // Waits until `count` events have come in; false when the deadline passed first.
    bool WaitForEvents(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kEventDeadline, [&] { return events.size() >= count; });
    }
    std::vector<SinkEvent> Events() const {
        std::lock_guard lock(mutex);
        return events;
    }

private:
    void Record(SinkEvent event) {
        {
            std::lock_guard lock(mutex);
            events.push_back(std::move(event));
        }
        changed.notify_all();
    }

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<SinkEvent> events;
};

// The unit's descriptors: device 1209:7A52 (the ids in UnitIds.h), one configuration with
// interface 0, bulk OUT 0x02 (64 bytes) and bulk IN 0x81 (32 bytes). The interface class,
// subclass and protocol differ from each other so that a field read from the wrong place shows.
constexpr const char* kDescriptors = "12010002000000400912527a000100000001"
                                     "090220000101008032"
                                     "0904000002ff010200"
                                     "07050202400000"
                                     "07058102200000";

gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer fixture);

class LibusbBackendTest : public ::testing::Test {
public:
    // The model answering for a device node; null for a node no test plugged in.
    UnitModel* UnitFor(const char* node) {
        std::lock_guard lock(unitsMutex);
        const auto it = units.find(node);
        return it == units.end() ? nullptr : it->second.get();
    }

protected:
    void SetUp() override {
        // Answered by the preload library, which only knows once a testbed exists.
        testbed = umockdev_testbed_new();
        ASSERT_TRUE(umockdev_in_mock_environment())
            << "this test needs umockdev's preload library: run it as umockdev-wrapper <test>";
        handler = umockdev_ioctl_base_new();
        g_signal_connect(handler, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    }

    void TearDown() override {
        backend.reset();
        g_clear_object(&handler);
        g_clear_object(&testbed);
    }

    // Adds the unit as device 1-<devnum> on bus 1, answered by a fresh model; returns its
    // sysfs path. Nothing is announced: the caller sends the uevent when libusb should see it.
    std::string Plug(int devnum) {
        const std::string node = DeviceNode(devnum);
        {
            std::lock_guard lock(unitsMutex);
            units[node] = std::make_unique<UnitModel>();
        }
        GError* error = nullptr;
        // The handler first, so that libusb can open the node as soon as the device shows.
        EXPECT_TRUE(umockdev_testbed_attach_ioctl(testbed, node.c_str(), handler, &error))
            << (error ? error->message : "");
        g_clear_error(&error);

        char description[1024];
        std::snprintf(description, sizeof description,
                      "P: /devices/usb1/1-%d\n"
                      "N: bus/usb/001/%03d\n"
                      "E: SUBSYSTEM=usb\n"
                      "E: DEVTYPE=usb_device\n"
                      "E: DEVNAME=/dev/bus/usb/001/%03d\n"
                      "E: BUSNUM=001\n"
                      "E: DEVNUM=%03d\n"
                      "A: busnum=1\\n\n"
                      "A: devnum=%d\\n\n"
                      "A: bConfigurationValue=1\\n\n"
                      "A: speed=12\\n\n"
                      "H: descriptors=%s\n",
                      devnum, devnum, devnum, devnum, devnum, kDescriptors);
        EXPECT_TRUE(umockdev_testbed_add_from_string(testbed, description, &error))
            << (error ? error->message : "");
        g_clear_error(&error);
        return "/sys/devices/usb1/1-" + std::to_string(devnum);
    }

    void Announce(const std::string& sysfs) {
        umockdev_testbed_uevent(testbed, sysfs.c_str(), "add");
    }

    // Unplugs as the kernel does: the device stops answering, udev announces the removal,
    // then the sysfs entry goes.
    void Unplug(int devnum, const std::string& sysfs) {
        Unit(devnum).Unplug();
        Withdraw(sysfs);
    }
    // Only the udev side of an unplug; the device node still answers.
    void Withdraw(const std::string& sysfs) {
        umockdev_testbed_uevent(testbed, sysfs.c_str(), "remove");
        umockdev_testbed_remove_device(testbed, sysfs.c_str());
    }

    UnitModel& Unit(int devnum) {
        std::lock_guard lock(unitsMutex);
        return *units.at(DeviceNode(devnum));
    }
    static std::string DeviceNode(int devnum) {
        char node[32];
        std::snprintf(node, sizeof node, "/dev/bus/usb/001/%03d", devnum);
        return node;
    }

    // How many descriptors of this process have the unit's device node open; 0 once the
    // backend closed its handle.
    int OpenDescriptors(int devnum) const {
        gchar* root = umockdev_testbed_get_root_dir(testbed);
        const std::string path = std::string(root) + DeviceNode(devnum);
        g_free(root);
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            const std::string target = std::filesystem::read_symlink(entry.path(), error);
            if (!error && target.rfind(path, 0) == 0)
                ++count;
        }
        return count;
    }

    // Starts the backend and waits for the arrival of the unit plugged in before.
    std::uint64_t StartWithUnit() {
        backend = std::make_unique<LibusbBackend>(Options());
        EXPECT_TRUE(backend->Start(sink));
        EXPECT_TRUE(sink.WaitForEvents(1)) << "the plugged unit did not arrive";
        const auto events = sink.Events();
        return events.empty() ? 0 : events[0].key;
    }

    static LibusbBackendOptions Options() {
        LibusbBackendOptions options;
        options.contextOptions = {{LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_WARNING}};
        options.eventWait = 100ms;
        return options;
    }

    // One frame out and its reply in, as the unit connection does it.
    void ExpectExchange(std::uint64_t key, const Bytes& frame, int devnum) {
        Bytes out(frame);
        std::uint32_t transferred = 0;
        ASSERT_EQ(backend->Transfer(key, kOutPipe, false, out.data(),
                                    static_cast<std::uint32_t>(out.size()), transferred, 2000),
                  UsbStatus::Success);
        EXPECT_EQ(transferred, frame.size());
        ASSERT_FALSE(Unit(devnum).Frames().empty());
        EXPECT_EQ(Unit(devnum).Frames().back(), frame);

        Bytes in(64, 0xEE);
        ASSERT_EQ(backend->Transfer(key, kInPipe, true, in.data(),
                                    static_cast<std::uint32_t>(in.size()), transferred, 2000),
                  UsbStatus::Success);
        ASSERT_EQ(transferred, frame.size());
        in.resize(transferred);
        EXPECT_EQ(in, ReplyTo(frame));
    }

    UMockdevTestbed* testbed = nullptr;
    UMockdevIoctlBase* handler = nullptr;
    std::mutex unitsMutex;
    std::map<std::string, std::unique_ptr<UnitModel>> units;
    RecordingSink sink;
    std::unique_ptr<LibusbBackend> backend;
};

gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer fixture) {
    UnitModel* unit = static_cast<LibusbBackendTest*>(fixture)->UnitFor(
        umockdev_ioctl_client_get_devnode(client));
    if (!unit)
        return FALSE;
    unit->Handle(client);
    return TRUE;
}

const Bytes kFrame{0x55, 0x01, 0x10, 0x00, 0xFF, 0x80, 0x7E, 0x33, 0xAA, 0x02, 0x04, 0x08};

TEST(LibusbStatus, MapsEachLibusbErrorOntoItsStatus) {
    struct Row {
        int libusbError;
        std::uint32_t status;
    };
    const Row rows[] = {
        {LIBUSB_SUCCESS, UsbStatus::Success},
        {LIBUSB_ERROR_TIMEOUT, UsbStatus::TimeOut},
        {LIBUSB_ERROR_NO_DEVICE, UsbStatus::DeviceNotFound},
        {LIBUSB_ERROR_PIPE, UsbStatus::PipeStalled},
        {LIBUSB_ERROR_OVERFLOW, UsbStatus::DataOverrun},
        {LIBUSB_ERROR_ACCESS, UsbStatus::AccessDenied},
        {LIBUSB_ERROR_BUSY, UsbStatus::DeviceBusy},
        {LIBUSB_ERROR_NOT_FOUND, UsbStatus::InterfaceNotFound},
        {LIBUSB_ERROR_INVALID_PARAM, UsbStatus::InvalidParameter},
        {LIBUSB_ERROR_NOT_SUPPORTED, UsbStatus::NotSupported},
        {LIBUSB_ERROR_IO, UsbStatus::TransferFailed},
        {LIBUSB_ERROR_INTERRUPTED, UsbStatus::TransferFailed},
        {LIBUSB_ERROR_NO_MEM, UsbStatus::TransferFailed},
        {LIBUSB_ERROR_OTHER, UsbStatus::TransferFailed},
        {-1000, UsbStatus::TransferFailed},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(UsbStatusFromLibusb(row.libusbError), row.status)
            << libusb_error_name(row.libusbError);
    }
}

TEST_F(LibusbBackendTest, ReportsAUnitPluggedInBeforeStartWithItsDescriptors) {
    Plug(2);
    const std::uint64_t key = StartWithUnit();

    const auto events = sink.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].arrived);
    EXPECT_NE(key, 0u);
    const UsbDeviceInfo& info = events[0].info;
    EXPECT_EQ(info.vendorId, kUnitVendorId);
    EXPECT_EQ(info.productId, kUnitProductId);
    EXPECT_EQ(info.deviceClass, 0);
    EXPECT_EQ(info.deviceSubClass, 0);
    EXPECT_FALSE(info.simulated);
    ASSERT_EQ(info.activeInterfaces.size(), 1u);
    const UsbInterfaceInfo& interface = info.activeInterfaces[0];
    EXPECT_EQ(interface.number, kUnitInterface);
    EXPECT_EQ(interface.alternateSetting, kUnitAlternateSetting);
    EXPECT_EQ(interface.interfaceClass, 0xFF);
    EXPECT_EQ(interface.interfaceSubClass, 0x01);
    EXPECT_EQ(interface.interfaceProtocol, 0x02);
    ASSERT_EQ(interface.pipes.size(), 2u);
    EXPECT_EQ(interface.pipes[0].endpointAddress, kOutPipe);
    EXPECT_EQ(interface.pipes[0].type, LIBUSB_TRANSFER_TYPE_BULK);
    EXPECT_EQ(interface.pipes[0].maxPacketSize, 64);
    EXPECT_EQ(interface.pipes[1].endpointAddress, kInPipe);
    EXPECT_EQ(interface.pipes[1].type, LIBUSB_TRANSFER_TYPE_BULK);
    EXPECT_EQ(interface.pipes[1].maxPacketSize, 32);
    EXPECT_EQ(OpenDescriptors(2), 1);
}

TEST_F(LibusbBackendTest, ClaimsTheInterfaceAndExchangesAFrameByteForByte) {
    Plug(2);
    const std::uint64_t key = StartWithUnit();

    EXPECT_EQ(backend->SetInterface(key, kUnitInterface, kUnitAlternateSetting),
              UsbStatus::Success);
    EXPECT_EQ(Unit(2).Claimed(), std::vector<unsigned>{kUnitInterface});
    EXPECT_EQ(Unit(2).SelectedSettings(), (std::vector<std::pair<unsigned, unsigned>>{
                                              {kUnitInterface, kUnitAlternateSetting}}));

    ExpectExchange(key, kFrame, 2);
    ExpectExchange(key, Bytes{0x01, 0x02}, 2);

    // A direction that disagrees with the pipe never reaches the unit.
    const std::size_t submitted = Unit(2).SubmittedUrbs();
    Bytes buffer(8, 0);
    std::uint32_t transferred = 99;
    EXPECT_EQ(backend->Transfer(key, kOutPipe, true, buffer.data(), 8, transferred, 100),
              UsbStatus::InvalidParameter);
    EXPECT_EQ(transferred, 0u);
    EXPECT_EQ(backend->Transfer(key, kInPipe, false, buffer.data(), 8, transferred, 100),
              UsbStatus::InvalidParameter);
    EXPECT_EQ(Unit(2).SubmittedUrbs(), submitted);
    EXPECT_TRUE(Unit(2).UnknownRequests().empty());
}

TEST_F(LibusbBackendTest, ReplyLongerThanTheBufferIsADataOverrun) {
    Plug(2);
    const std::uint64_t key = StartWithUnit();
    ASSERT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::Success);

    Bytes out(kFrame);
    std::uint32_t transferred = 0;
    ASSERT_EQ(backend->Transfer(key, kOutPipe, false, out.data(), 12, transferred, 2000),
              UsbStatus::Success);
    Bytes in(4, 0);
    EXPECT_EQ(backend->Transfer(key, kInPipe, true, in.data(), 4, transferred, 2000),
              UsbStatus::DataOverrun);
}

TEST_F(LibusbBackendTest, StalledPipeFailsUntilItIsReset) {
    Plug(2);
    const std::uint64_t key = StartWithUnit();
    ASSERT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::Success);

    Bytes out(kFrame);
    std::uint32_t transferred = 0;
    ASSERT_EQ(backend->Transfer(key, kOutPipe, false, out.data(), 12, transferred, 2000),
              UsbStatus::Success);
    Unit(2).Halt(kInPipe);
    Bytes in(64, 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        transferred = 99;
        EXPECT_EQ(backend->Transfer(key, kInPipe, true, in.data(), 64, transferred, 2000),
                  UsbStatus::PipeStalled)
            << "attempt " << attempt;
        EXPECT_EQ(transferred, 0u);
    }

    EXPECT_EQ(backend->ResetPipe(key, kInPipe), UsbStatus::Success);
    EXPECT_EQ(Unit(2).ClearedHalts(), std::vector<unsigned>{kInPipe});
    // The reply queued before the stall is still there.
    ASSERT_EQ(backend->Transfer(key, kInPipe, true, in.data(), 64, transferred, 2000),
              UsbStatus::Success);
    in.resize(transferred);
    EXPECT_EQ(in, ReplyTo(kFrame));
    ExpectExchange(key, Bytes{0x10, 0x20, 0x30}, 2);
}

TEST_F(LibusbBackendTest, SilentUnitTimesOutWithinTheGivenTimeOutAndWorksAfterwards) {
    Plug(2);
    const std::uint64_t key = StartWithUnit();
    ASSERT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::Success);
    Unit(2).SetSilent(true);

    Bytes out(kFrame);
    std::uint32_t transferred = 0;
    ASSERT_EQ(backend->Transfer(key, kOutPipe, false, out.data(), 12, transferred, 2000),
              UsbStatus::Success);
    Bytes in(64, 0);
    transferred = 99;
    const auto started = Clock::now();
    EXPECT_EQ(backend->Transfer(key, kInPipe, true, in.data(), 64, transferred, 300),
              UsbStatus::TimeOut);
    const auto elapsed = Clock::now() - started;
    EXPECT_EQ(transferred, 0u);
    EXPECT_GE(elapsed, 250ms);
    // Well below the 3 s the program uses, so the given time-out was the one applied.
    EXPECT_LT(elapsed, 2500ms);
    // The timed-out URB was taken back from the unit.
    EXPECT_EQ(Unit(2).PendingInUrbs(), 0u);

    Unit(2).SetSilent(false);
    ExpectExchange(key, kFrame, 2);
}

TEST_F(LibusbBackendTest, RemovedUnitFailsAtOnceIsReportedOnceAndItsHandleCloses) {
    const std::string sysfs = Plug(2);
    const std::uint64_t key = StartWithUnit();
    ASSERT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::Success);
    // The node keeps answering but stays silent, so a request that still reached it would
    // wait its whole time-out.
    Unit(2).SetSilent(true);

    Withdraw(sysfs);
    ASSERT_TRUE(sink.WaitForEvents(2)) << "the removal was not reported";
    const std::size_t submitted = Unit(2).SubmittedUrbs();

    Bytes buffer(64, 0);
    std::uint32_t transferred = 99;
    const auto started = Clock::now();
    EXPECT_EQ(backend->Transfer(key, kInPipe, true, buffer.data(), 64, transferred, 10000),
              UsbStatus::DeviceNotFound);
    EXPECT_EQ(transferred, 0u);
    EXPECT_EQ(backend->Transfer(key, kOutPipe, false, buffer.data(), 8, transferred, 10000),
              UsbStatus::DeviceNotFound);
    EXPECT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::DeviceNotFound);
    EXPECT_EQ(backend->ResetPipe(key, kInPipe), UsbStatus::DeviceNotFound);
    EXPECT_LT(Clock::now() - started, 1s);
    EXPECT_EQ(Unit(2).SubmittedUrbs(), submitted);
    EXPECT_TRUE(Unit(2).ClearedHalts().empty());
    EXPECT_EQ(OpenDescriptors(2), 0);

    backend->Stop();
    const auto events = sink.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_FALSE(events[1].arrived);
    EXPECT_EQ(events[1].key, key);
}

TEST_F(LibusbBackendTest, TransferInProgressWhenTheUnitGoesEndsWithDeviceNotFound) {
    const std::string sysfs = Plug(2);
    const std::uint64_t key = StartWithUnit();
    ASSERT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::Success);
    Unit(2).SetSilent(true);

    std::uint32_t status = 0;
    std::uint32_t transferred = 99;
    Bytes in(64, 0);
    std::thread reader(
        [&] { status = backend->Transfer(key, kInPipe, true, in.data(), 64, transferred, 10000); });
    const auto deadline = Clock::now() + kEventDeadline;
    while (Unit(2).PendingInUrbs() == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(Unit(2).PendingInUrbs(), 1u);

    const auto started = Clock::now();
    Unplug(2, sysfs);
    reader.join();
    EXPECT_LT(Clock::now() - started, 5s);
    EXPECT_EQ(status, UsbStatus::DeviceNotFound);
    EXPECT_EQ(transferred, 0u);

    ASSERT_TRUE(sink.WaitForEvents(2));
    // The handle closes once the transfer has let go of it.
    const auto closeDeadline = Clock::now() + kEventDeadline;
    while (OpenDescriptors(2) != 0 && Clock::now() < closeDeadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(OpenDescriptors(2), 0);
    backend->Stop();
    const auto events = sink.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_FALSE(events[1].arrived);
    EXPECT_EQ(events[1].key, key);
}

TEST_F(LibusbBackendTest, ReplacedUnitArrivesUnderANewKey) {
    const std::string first = Plug(2);
    const std::uint64_t oldKey = StartWithUnit();
    Unplug(2, first);
    ASSERT_TRUE(sink.WaitForEvents(2));

    Announce(Plug(3));
    ASSERT_TRUE(sink.WaitForEvents(3)) << "the unit plugged in while running did not arrive";
    const auto events = sink.Events();
    ASSERT_EQ(events.size(), 3u);
    ASSERT_TRUE(events[2].arrived);
    const std::uint64_t newKey = events[2].key;
    EXPECT_NE(newKey, oldKey);
    EXPECT_EQ(events[2].info.vendorId, kUnitVendorId);
    EXPECT_EQ(events[2].info.productId, kUnitProductId);

    ASSERT_EQ(backend->SetInterface(newKey, 0, 0), UsbStatus::Success);
    ExpectExchange(newKey, kFrame, 3);
    Bytes buffer(8, 0);
    std::uint32_t transferred = 0;
    EXPECT_EQ(backend->Transfer(oldKey, kOutPipe, false, buffer.data(), 8, transferred, 100),
              UsbStatus::DeviceNotFound);
}

TEST_F(LibusbBackendTest, UnitThatCannotBeOpenedIsNeitherReportedNorIsItsRemoval) {
    const std::string broken = Plug(2);
    // Without its node libusb cannot open the device.
    gchar* root = umockdev_testbed_get_root_dir(testbed);
    ASSERT_EQ(::unlink((std::string(root) + DeviceNode(2)).c_str()), 0);
    g_free(root);
    Plug(3);

    const std::uint64_t key = StartWithUnit();
    Withdraw(broken);
    // The working unit is still served; a removal report, had there been one, would be in by
    // the time this exchange is done.
    ASSERT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::Success);
    ExpectExchange(key, kFrame, 3);
    std::this_thread::sleep_for(300ms);

    const auto events = sink.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].arrived);
    EXPECT_EQ(OpenDescriptors(3), 1);
}

TEST_F(LibusbBackendTest, ReleasedUnitIsLetGoAndItsRemovalNotReported) {
    const std::string sysfs = Plug(2);
    const std::uint64_t key = StartWithUnit();
    ASSERT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::Success);

    backend->Release(key);
    EXPECT_EQ(Unit(2).Released(), std::vector<unsigned>{0});
    EXPECT_EQ(OpenDescriptors(2), 0);
    Bytes buffer(8, 0);
    std::uint32_t transferred = 0;
    EXPECT_EQ(backend->Transfer(key, kOutPipe, false, buffer.data(), 8, transferred, 100),
              UsbStatus::DeviceNotFound);

    Withdraw(sysfs);
    Announce(Plug(3));
    ASSERT_TRUE(sink.WaitForEvents(2));
    const auto events = sink.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_TRUE(events[1].arrived) << "the released unit's removal was reported";
}

TEST_F(LibusbBackendTest, StopClosesEverythingAndReportsNothingAfterwards) {
    const std::string sysfs = Plug(2);
    const std::uint64_t key = StartWithUnit();
    ASSERT_EQ(backend->SetInterface(key, 0, 0), UsbStatus::Success);

    backend->Stop();
    EXPECT_EQ(OpenDescriptors(2), 0);
    EXPECT_EQ(Unit(2).Released(), std::vector<unsigned>{0});
    Bytes buffer(8, 0);
    std::uint32_t transferred = 0;
    EXPECT_EQ(backend->Transfer(key, kOutPipe, false, buffer.data(), 8, transferred, 100),
              UsbStatus::DeviceNotFound);

    Withdraw(sysfs);
    Announce(Plug(3));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(sink.Events().size(), 1u);

    // Started again, the backend finds the unit present and gives it a key never used before.
    ASSERT_TRUE(backend->Start(sink));
    ASSERT_TRUE(sink.WaitForEvents(2));
    const auto events = sink.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_TRUE(events[1].arrived);
    EXPECT_GT(events[1].key, key);
    ASSERT_EQ(backend->SetInterface(events[1].key, 0, 0), UsbStatus::Success);
    ExpectExchange(events[1].key, kFrame, 3);
}

} // namespace
