#include "usb/UnitAccessProbe.h"

#include "usb/UnitIds.h"

#include <libusb.h>

bool PluggedUnitsAreAccessible() {
    libusb_context* context = nullptr;
    // Without libusb there is no hardware to grant access to; simulated units still work.
    if (libusb_init(&context) != LIBUSB_SUCCESS)
        return true;
    bool accessible = true;
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    for (ssize_t i = 0; i < count && accessible; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS ||
            descriptor.idVendor != kUnitVendorId || descriptor.idProduct != kUnitProductId)
            continue;
        libusb_device_handle* handle = nullptr;
        const int opened = libusb_open(devices[i], &handle);
        if (opened == LIBUSB_SUCCESS)
            libusb_close(handle);
        else if (opened == LIBUSB_ERROR_ACCESS)
            accessible = false;
    }
    if (count >= 0)
        libusb_free_device_list(devices, 1);
    libusb_exit(context);
    return accessible;
}
