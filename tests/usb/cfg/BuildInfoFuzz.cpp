// The build information read back from its sector, whatever it holds, as a
// run that adopts a device's table reads it: dumped to the log without its
// password, rebuilt and described.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/orrin/Sector.h"
#include "support/FuzzDevice.h"
#include "usb/cfg/BuildInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_support::enterStation();
    fuzz_support::InputBytes input(data, size);
    std::vector<uint8_t> sector = input.take(Tessor::SECTOR_BYTES);
    Tessor::usb::BuildInfo::dumpSector(sector.data(), "Build Info");
    Tessor::usb::BuildInfo info(nullptr);
    (void)info.reverseSerialize(sector.data());  // takes whatever the sector holds
    info.debug();
    (void)info.getToolVersion().getVersionString();
    return 0;
}
