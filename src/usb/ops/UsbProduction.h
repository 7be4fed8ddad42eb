// Hands the device engine its production side. The front ends call it once
// at start, before the first device manager is made.
#pragma once

namespace Tessor::usb {

// The operators each device state runs.
void installUsbProduction();

}  // namespace Tessor::usb
