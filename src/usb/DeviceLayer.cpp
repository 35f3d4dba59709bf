#include "usb/DeviceLayer.h"

#include "usb/UsbStatus.h"

#include <QLoggingCategory>

#include <new>

using namespace UsbDriverRequests;

namespace {
// Off by default: QT_LOGGING_RULES="tarvik.usb.debug=true" shows the layer's lines.
Q_LOGGING_CATEGORY(lcUsbLayer, "tarvik.usb", QtFatalMsg)

void TraceLine(const QString& line) {
    qCDebug(lcUsbLayer).noquote() << line;
}
void ErrorLine(const QString& line) {
    qCWarning(lcUsbLayer).noquote() << line;
}
QString StatusPart(std::uint32_t status) {
    return QStringLiteral("dwStatus (0x%1) - %2").arg(status, 0, 16).arg(UsbStatusText(status));
}
QString Hex(const void* pointer) {
    return QStringLiteral("0x%1").arg(reinterpret_cast<std::uintptr_t>(pointer), 0, 16);
}
} // namespace

struct DriverCtx {
    DriverHandle driverHandle = kInvalidHandle;
    WDU_EVENT_TABLE eventTable;
    struct UsbDeviceLayer::EventRegistration* registration = nullptr;
};

struct DeviceEntry {
    DriverCtx* context = nullptr;
    UsbDeviceInfo* info = nullptr;
    std::uint32_t uniqueId = 0;
};

struct UsbDeviceLayer::EventRegistration {
    DriverHandle driverHandle = kInvalidHandle;
    DriverCtx* handlerData = nullptr;
    std::uint32_t eventHandle = 0;
    std::thread listener;
};

// ---- auto-reset event -------------------------------------------------------------------------

bool AutoResetEvent::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    if (!signalled.wait_for(lock, timeout, [this] { return set; }))
        return false;
    set = false;
    return true;
}

void AutoResetEvent::Signal() {
    {
        std::lock_guard lock(mutex);
        set = true;
    }
    signalled.notify_one();
}

// ---- start and end ----------------------------------------------------------------------------

UsbDeviceLayer::UsbDeviceLayer(UsbDriverPort& port, std::chrono::milliseconds listLockTimeout)
    : port(port), listLockTimeout(listLockTimeout) {}

UsbDeviceLayer::~UsbDeviceLayer() = default;

std::uint32_t UsbDeviceLayer::WDU_Init(WDU_DRIVER_HANDLE* driver,
                                       const WDU_MATCH_TABLE* matchTables,
                                       std::uint32_t matchTableCount,
                                       const WDU_EVENT_TABLE* eventTable, std::uint32_t options) {
    *driver = InvalidDriverHandle();
    auto* context = new (std::nothrow) DriverCtx;
    if (!context) {
        ErrorLine(QStringLiteral("WDU_Init: cannot malloc memory"));
        return UsbStatus::InsufficientResources;
    }
    if (initCount == 0) {
        initCount = 1;
        listLock = std::make_unique<AutoResetEvent>();
        // The lock starts free.
        listLock->Signal();
    }

    std::uint32_t status = port.Open(context->driverHandle);
    if (status != UsbStatus::Success) {
        context->driverHandle = kInvalidHandle;
        ErrorLine(QStringLiteral("WDU_Init: cannot open the USB driver"));
        WDU_Uninit(context);
        return UsbStatus::InternalError;
    }

    std::uint32_t version = 0;
    status = port.Version(context->driverHandle, version);
    if (status != UsbStatus::Success || version < kMinimumDriverVersion) {
        ErrorLine(QStringLiteral("WDU_Init: incorrect USB driver version"));
        WDU_Uninit(context);
        return status != UsbStatus::Success ? status : UsbStatus::IncorrectVersion;
    }

    if (eventTable)
        context->eventTable = *eventTable;

    if (context->eventTable.pfDeviceAttach) {
        std::uint32_t actions = Action::Insert;
        if (context->eventTable.pfDeviceDetach)
            actions |= Action::Remove;
        if (context->eventTable.pfPowerChange)
            actions |= Action::PowerChanges;
        const std::vector<WDU_MATCH_TABLE> tables(matchTables, matchTables + matchTableCount);
        status = EventRegister(context, tables, actions, options);
        if (status != UsbStatus::Success) {
            ErrorLine(
                QStringLiteral("WDU_Init: EventRegister failed with %1").arg(StatusPart(status)));
            WDU_Uninit(context);
            return status;
        }
    }
    *driver = context;
    return UsbStatus::Success;
}

void UsbDeviceLayer::WDU_Uninit(WDU_DRIVER_HANDLE driver) {
    if (driver && driver != InvalidDriverHandle()) {
        DriverCtx* context = driver;
        if (context->driverHandle != kInvalidHandle) {
            if (context->registration)
                EventUnregister(context->registration);
            port.Close(context->driverHandle);
        }
        RemoveAllDevicesFromDevList(context);
        delete context;
    }
    if (initCount > 0 && --initCount == 0)
        listLock.reset();
}

// ---- events -----------------------------------------------------------------------------------

std::uint32_t UsbDeviceLayer::EventRegister(DriverCtx* context,
                                            const std::vector<WDU_MATCH_TABLE>& tables,
                                            std::uint32_t actions, std::uint32_t options) {
    auto* registration = new (std::nothrow) EventRegistration;
    if (!registration)
        return UsbStatus::InsufficientResources;
    registration->driverHandle = context->driverHandle;
    registration->handlerData = context;

    std::uint32_t status = port.EventRegister(context->driverHandle, tables, actions, options,
                                              registration->eventHandle);
    if (status != UsbStatus::Success) {
        delete registration;
        return status;
    }
    status = port.NotificationEnable(context->driverHandle, registration->eventHandle);
    if (status == UsbStatus::Success) {
        try {
            registration->listener =
                std::thread(&UsbDeviceLayer::ListenerThread, this, registration);
        } catch (const std::system_error&) {
            port.NotificationDisable(context->driverHandle, registration->eventHandle);
            status = UsbStatus::InsufficientResources;
        }
    }
    if (status != UsbStatus::Success) {
        port.EventUnregister(context->driverHandle, registration->eventHandle);
        delete registration;
        return status;
    }
    context->registration = registration;
    return UsbStatus::Success;
}

std::uint32_t UsbDeviceLayer::EventUnregister(EventRegistration* registration) {
    if (!registration)
        return UsbStatus::InvalidHandle;
    port.NotificationDisable(registration->driverHandle, registration->eventHandle);
    if (registration->listener.joinable())
        registration->listener.join();
    const std::uint32_t status =
        port.EventUnregister(registration->driverHandle, registration->eventHandle);
    registration->handlerData->registration = nullptr;
    delete registration;
    return status;
}

void UsbDeviceLayer::ListenerThread(EventRegistration* registration) {
    for (;;) {
        // The wait runs on a driver handle of its own.
        DriverHandle waitHandle = kInvalidHandle;
        NotificationState state = NotificationState::Stopped;
        if (port.Open(waitHandle) != UsbStatus::Success)
            return;
        const std::uint32_t status =
            port.NotificationWait(waitHandle, registration->eventHandle, state);
        port.Close(waitHandle);
        if (status != UsbStatus::Success || state == NotificationState::Stopped)
            return;
        if (state == NotificationState::Interrupted)
            continue;
        PullEvent(registration);
    }
}

void UsbDeviceLayer::PullEvent(EventRegistration* registration) {
    Event event;
    event.eventHandle = registration->eventHandle;
    if (port.EventPull(registration->driverHandle, event) != UsbStatus::Success)
        return;
    if (event.action != 0)
        EventHandler(event, registration->handlerData, event.options);
    if (event.options & EventOption::Acknowledge)
        port.EventSendBack(registration->driverHandle, event);
}

void UsbDeviceLayer::EventHandler(const Event& event, DriverCtx* context, std::uint32_t& options) {
    TraceLine(QStringLiteral("EventHandler: got event %1 handle 0x%2")
                  .arg(event.action)
                  .arg(event.eventHandle, 0, 16));
    if (event.action == Action::Insert) {
        HandleInsert(event, context, options);
    } else if (event.action == Action::Remove) {
        HandleRemove(event, context);
    } else if (event.action & Action::PowerChanges) {
        DeviceEntry* entry = nullptr;
        if (FindDeviceByUniqueID(event.uniqueId, &entry) == UsbStatus::Success &&
            context->eventTable.pfPowerChange)
            context->eventTable.pfPowerChange(entry, event.action, context->eventTable.pUserData);
    }
}

void UsbDeviceLayer::HandleInsert(const Event& event, DriverCtx* context, std::uint32_t& options) {
    auto* entry = new (std::nothrow) DeviceEntry{context, nullptr, event.uniqueId};
    if (!entry) {
        ErrorLine(QStringLiteral("EventHandler: cannot alloc memory"));
        return;
    }
    if (AddDeviceToDevList(entry) != UsbStatus::Success) {
        delete entry;
        return;
    }
    if (WDU_GetDeviceInfo(entry, &entry->info) != UsbStatus::Success) {
        ErrorLine(QStringLiteral("EventHandler: unable to get device info for device handle "
                                 "%1 dwUniqueID 0x%2")
                      .arg(Hex(entry))
                      .arg(event.uniqueId, 0, 16));
        DeviceEntry* removed = nullptr;
        RemoveDeviceFromDevList(event.uniqueId, &removed);
        delete entry;
        return;
    }
    const bool controlDevice =
        context->eventTable.pfDeviceAttach(entry, entry->info, context->eventTable.pUserData);
    if (!controlDevice) {
        TraceLine(
            QStringLiteral("EventHandler: bControlDevice==FALSE; pDriverCtx %1").arg(Hex(context)));
        DeviceEntry* removed = nullptr;
        RemoveDeviceFromDevList(event.uniqueId, &removed);
        delete entry->info;
        delete entry;
        return;
    }
    options |= EventOption::AcceptControl;
}

void UsbDeviceLayer::HandleRemove(const Event& event, DriverCtx* context) {
    DeviceEntry* entry = nullptr;
    if (RemoveDeviceFromDevList(event.uniqueId, &entry) != UsbStatus::Success)
        return;
    if (context->eventTable.pfDeviceDetach)
        context->eventTable.pfDeviceDetach(entry, context->eventTable.pUserData);
    delete entry->info;
    delete entry;
}

// ---- device list ------------------------------------------------------------------------------

bool UsbDeviceLayer::LockList(const char* operation, std::uint32_t& status) {
    if (listLock && listLock->Wait(listLockTimeout))
        return true;
    status = listLock ? UsbStatus::TimeOut : UsbStatus::InternalError;
    ErrorLine(QStringLiteral("%1: error waiting for device list event: %2")
                  .arg(QLatin1String(operation), StatusPart(status)));
    return false;
}

std::uint32_t UsbDeviceLayer::UnlockList(const char* /*operation*/) {
    listLock->Signal();
    return UsbStatus::Success;
}

std::uint32_t UsbDeviceLayer::AddDeviceToDevList(DeviceEntry* entry) {
    std::uint32_t status = UsbStatus::Success;
    if (!LockList("AddDeviceToDevList", status))
        return status;
    TraceLine(QStringLiteral("AddDeviceToDevList device %1 before %2").arg(Hex(entry), Hex(pHead)));
    auto* node = new (std::nothrow) DevListNode{pHead, entry};
    if (!node) {
        UnlockList("AddDeviceToDevList");
        return UsbStatus::InsufficientResources;
    }
    pHead = node;
    return UnlockList("AddDeviceToDevList");
}

std::uint32_t UsbDeviceLayer::RemoveAllDevicesFromDevList(DriverCtx* context) {
    std::uint32_t status = UsbStatus::Success;
    if (!LockList("RemoveAllDevicesFromDevList", status))
        return status;
    TraceLine(QStringLiteral("RemoveAllDevicesFromDevList: pDriverCtx %1").arg(Hex(context)));
    DevListNode** link = &pHead;
    while (*link) {
        DevListNode* node = *link;
        if (node->entry->context == context) {
            *link = node->next;
            delete node->entry->info;
            delete node->entry;
            delete node;
        } else {
            link = &node->next;
        }
    }
    return UnlockList("RemoveAllDevicesFromDevList");
}

std::uint32_t UsbDeviceLayer::FindDeviceByUniqueID(std::uint32_t uniqueId, DeviceEntry** entry) {
    std::uint32_t status = UsbStatus::Success;
    if (!LockList("FindDeviceByUniqueID", status))
        return status;
    TraceLine(QStringLiteral("FindDeviceByUniqueID: DevList.pHead %1, dwUniqueID 0x%2")
                  .arg(Hex(pHead))
                  .arg(uniqueId, 0, 16));
    status = UsbStatus::DeviceNotFound;
    for (DevListNode* node = pHead; node; node = node->next) {
        if (node->entry->uniqueId == uniqueId) {
            *entry = node->entry;
            status = UsbStatus::Success;
            break;
        }
    }
    const std::uint32_t released = UnlockList("FindDeviceByUniqueID");
    return status != UsbStatus::Success ? status : released;
}

std::uint32_t UsbDeviceLayer::FindDeviceByCtx(WDU_DEVICE_HANDLE device, DeviceRef* ref) {
    std::uint32_t status = UsbStatus::Success;
    if (!LockList("FindDeviceByCtx", status))
        return status;
    status = UsbStatus::DeviceNotFound;
    for (DevListNode* node = pHead; node; node = node->next) {
        if (node->entry == device) {
            // Copies taken under the lock: a remove event may free the entry right after.
            ref->uniqueId = device->uniqueId;
            ref->driverHandle = device->context->driverHandle;
            status = UsbStatus::Success;
            break;
        }
    }
    const std::uint32_t released = UnlockList("FindDeviceByCtx");
    return status != UsbStatus::Success ? status : released;
}

std::uint32_t UsbDeviceLayer::RemoveDeviceFromDevList(std::uint32_t uniqueId, DeviceEntry** entry) {
    std::uint32_t status = UsbStatus::Success;
    if (!LockList("RemoveDeviceFromDevList", status))
        return status;
    TraceLine(QStringLiteral("RemoveDeviceFromDevList: DevList %1, dwUniqueID 0x%2")
                  .arg(Hex(pHead))
                  .arg(uniqueId, 0, 16));
    status = UsbStatus::DeviceNotFound;
    for (DevListNode** link = &pHead; *link; link = &(*link)->next) {
        if ((*link)->entry->uniqueId == uniqueId) {
            DevListNode* node = *link;
            *link = node->next;
            *entry = node->entry;
            delete node;
            status = UsbStatus::Success;
            break;
        }
    }
    const std::uint32_t released = UnlockList("RemoveDeviceFromDevList");
    return status != UsbStatus::Success ? status : released;
}

std::size_t UsbDeviceLayer::DeviceCount() {
    std::uint32_t status = UsbStatus::Success;
    if (!LockList("DeviceCount", status))
        return 0;
    std::size_t count = 0;
    for (DevListNode* node = pHead; node; node = node->next)
        ++count;
    UnlockList("DeviceCount");
    return count;
}

// ---- device operations ------------------------------------------------------------------------

std::uint32_t UsbDeviceLayer::WDU_GetDeviceInfo(WDU_DEVICE_HANDLE device, UsbDeviceInfo** info) {
    DeviceRef ref;
    if (!device)
        return UsbStatus::DeviceNotFound;
    if (const std::uint32_t status = FindDeviceByCtx(device, &ref))
        return status;
    auto* tree = new (std::nothrow) UsbDeviceInfo;
    if (!tree) {
        ErrorLine(QStringLiteral("WDU_GetDeviceInfo: cannot alloc memory"));
        return UsbStatus::InsufficientResources;
    }
    const std::uint32_t status = port.DeviceInfo(ref.driverHandle, ref.uniqueId, *tree);
    if (status != UsbStatus::Success) {
        delete tree;
        return status;
    }
    *info = tree;
    return UsbStatus::Success;
}

void UsbDeviceLayer::WDU_PutDeviceInfo(UsbDeviceInfo* info) {
    delete info;
}

std::uint32_t UsbDeviceLayer::WDU_SetInterface(WDU_DEVICE_HANDLE device,
                                               std::uint32_t interfaceNumber,
                                               std::uint32_t alternateSetting) {
    DeviceRef ref;
    if (!device)
        return UsbStatus::DeviceNotFound;
    if (const std::uint32_t status = FindDeviceByCtx(device, &ref))
        return status;
    return port.SetInterface(ref.driverHandle, ref.uniqueId,
                             static_cast<std::uint8_t>(interfaceNumber),
                             static_cast<std::uint8_t>(alternateSetting));
}

std::uint32_t UsbDeviceLayer::WDU_ResetPipe(WDU_DEVICE_HANDLE device, std::uint32_t pipe) {
    DeviceRef ref;
    if (!device)
        return UsbStatus::DeviceNotFound;
    if (const std::uint32_t status = FindDeviceByCtx(device, &ref))
        return status;
    return port.ResetPipe(ref.driverHandle, ref.uniqueId, static_cast<std::uint8_t>(pipe));
}

std::uint32_t UsbDeviceLayer::WDU_Transfer(WDU_DEVICE_HANDLE device, std::uint32_t pipe, bool read,
                                           std::uint32_t options, std::uint8_t* buffer,
                                           std::uint32_t length, std::uint32_t* transferred,
                                           const std::uint8_t* setupPacket,
                                           std::uint32_t timeoutMs) {
    *transferred = 0;
    DeviceRef ref;
    if (!device)
        return UsbStatus::DeviceNotFound;
    if (const std::uint32_t status = FindDeviceByCtx(device, &ref))
        return status;
    // Transfers from different threads never share a driver handle.
    DriverHandle own = kInvalidHandle;
    if (port.Open(own) != UsbStatus::Success)
        return UsbStatus::InvalidDriverHandle;
    const std::uint32_t status =
        port.Transfer(own, ref.uniqueId, static_cast<std::uint8_t>(pipe), read, options, buffer,
                      length, *transferred, setupPacket, timeoutMs);
    port.Close(own);
    return status;
}
