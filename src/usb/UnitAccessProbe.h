#pragma once

// True unless a unit is plugged in that this user may not open: the access rule for the unit
// is then missing. Looks at the bus once, with a libusb context of its own.
bool PluggedUnitsAreAccessible();
