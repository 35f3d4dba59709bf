#include "app/TForm1.h"

#include "usb/UnitLink.h"

#include <QCoreApplication>

void TForm1::ConnectUnit() {
    try {
        services.unitLink->EnsureDriverInstalled();
        if (!services.unitLink->OpenUsbSession()) {
            services.messages->ShowMessage(
                QStringLiteral("USB connection failed - unable to run program"));
            // The program cannot do its job without the unit: close (running the close
            // sequence with nothing to send on) and end.
            close();
            FormClose();
        }
        usbConnected = true;
    } catch (...) {
        ShowError(std::current_exception());
    }
}
