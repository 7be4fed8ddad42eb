// Hands the device engine its production side. The front ends call it once
// at start, before the first device manager is made.
#pragma once

namespace Tessor::usb {

// The production records every device holds, the operators each device
// state runs, what a device manager readies before
// its first slot (photo-frame data, firmware images, scan sample), and the
// profile files the UI manager keeps the station's settings in.
void installUsbProduction();

}  // namespace Tessor::usb
