#include "usb/UsbStack.h"

#include "usb/DeviceLayer.h"
#include "usb/LibusbBackend.h"
#include "usb/UnitAccessProbe.h"
#include "usb/UsbDriver.h"
#include "usb/UsbUnitConnection.h"
#include "usb/VirtualUnitPort.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace {
int RunAndWait(const QString& program, const QStringList& arguments) {
    // An argument list, never a command line: nothing is interpreted by a shell.
    return QProcess::execute(program, arguments);
}
} // namespace

UsbStack::UsbStack(QString virtualPortPath, QString installerPath) {
    auto libusbBackend = std::make_unique<LibusbBackend>();
    auto port = std::make_unique<VirtualUnitPort>(std::move(virtualPortPath));
    std::vector<std::unique_ptr<UsbBackend>> backends;
    backends.push_back(std::move(libusbBackend));
    backends.push_back(std::move(port));
    driver = std::make_unique<UsbDriver>(std::move(backends));
    layer = std::make_unique<UsbDeviceLayer>(*driver);
    connection = std::make_unique<UsbUnitConnection>(*layer, PluggedUnitsAreAccessible, RunAndWait,
                                                     std::move(installerPath));
}

UsbStack::~UsbStack() {
    connection.reset();
    layer.reset();
    driver.reset();
}

QString UsbStack::DefaultInstallerPath() {
    return FindInstaller(QCoreApplication::applicationDirPath());
}

QString UsbStack::FindInstaller(const QString& programFolder) {
    for (const QString& candidate :
         {programFolder + QStringLiteral("/install-unit-access"),
          programFolder +
              QStringLiteral("/../libexec/tarvik-control-centre/install-unit-access")}) {
        if (QFileInfo(candidate).isExecutable())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return QString();
}

bool UsbStack::EnsureDriverInstalled() {
    return connection->EnsureDriverInstalled();
}

// The backends start only now, after a missing access rule was installed, so that a unit
// already plugged in is opened with the access the rule grants.
bool UsbStack::OpenUsbSession() {
    if (!driverStarted) {
        driver->Start();
        driverStarted = true;
    }
    return connection->OpenUsbSession();
}

std::uint32_t UsbStack::TransferFrame(const std::uint8_t* frame, std::uint8_t frameLength,
                                      std::uint8_t* reply, std::uint32_t replyLength) {
    return connection->TransferFrame(frame, frameLength, reply, replyLength);
}

void UsbStack::ResetUsbPipe(std::uint8_t pipe) {
    connection->ResetUsbPipe(pipe);
}

bool UsbStack::IsSimulatedUnit() const {
    return connection->IsSimulatedUnit();
}
