// A device's configuration table adopted as a run that finds one in its
// version block does: the sector rebuilt for the station's controller, then
// the pages it leads to (external-code index, flag table, build
// information) read from the flash, and a login run's hidden unit looked
// for. The first bytes choose the controller and the function, the next 513
// are the version block, the rest answer the flash reads.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "schema/device/VersionInfo.h"
#include "support/FuzzDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/ops/UsbProduction.h"
#include "usb/task/init/CfgTableAccess.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Tessor::schema;
    fuzz_support::enterStation();
    fuzz_support::InputBytes input(data, size);
    UsbConfiguration* config = UsbConfiguration::instance();
    config->setChipSet(fuzz_support::chipSetOf(input.byte()));
    const _FUNCTION_T functions[] = {FUNCTION_FACTORY, FUNCTION_USER, FUNCTION_LOGIN};
    config->setCurrentFunction(functions[input.byte() % 3]);
    const std::vector<uint8_t> block = input.take(Tessor::usb::CfgTable::kImageRoom);
    // A run adopts the table of a version block that starts with its signature.
    if (!VersionInfo(block.data()).checkCfgTable()) {
        return 0;
    }

    Tessor::usb::installUsbProduction();
    UsbDevice device(nullptr, 0, "UDISK-0");
    fuzz_support::ScriptedFlash flash(input);
    device.setDev(flash.record());
    if (!Tessor::usb::adoptCfgTable(&device, block.data())) {
        return 0;
    }
    if (config->getCurrentFunction() == FUNCTION_LOGIN) {
        (void)Tessor::usb::findHiddenLun(&device);  // any unit, or none, is an answer
    }
    return 0;
}
