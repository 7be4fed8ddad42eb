// The bitmaps a device saved on its own flash, read back as a scan of the
// level that trusts them does: the image's header looked for from the last
// block down, its L2 sectors and bitmap sectors read, and the block bitmap
// rebuilt from the sector bitmap. The first bytes give the flash's geometry,
// the rest answer the flash reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "schema/device/ConfigInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "support/FuzzDevice.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/ops/UsbProduction.h"
#include "usb/profile/FlashInfo.h"
#include "usb/scan/ScanObjectFromFlash.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Tessor::schema;
    fuzz_support::enterStation();
    fuzz_support::InputBytes input(data, size);
    UsbConfiguration::instance()->setChipSet(fuzz_support::chipSetOf(input.byte()));

    // A small flash, so an image is a few sectors: up to 2 chips of 256
    // blocks of 64 pages of 8 sectors.
    Sptr<Tessor::usb::FlashInfo> flash(new Tessor::usb::FlashInfo());
    Tessor::usb::_FLASH_CHIP_INFO& chip = *flash->getChipInfo();
    flash->setChipsPerDisk(1 + input.byte() % 2);
    chip.BlockPerChip = 8 << (input.byte() % 6);
    chip.PagePerBlock = 4 << (input.byte() % 5);
    chip.SectorPerPage = 1 << (input.byte() % 4);
    if (input.byte() % 4 == 0) {
        chip.TLC = 1;
        chip.RealBlockPerChip = chip.BlockPerChip;
        chip.RealPagePerBlock = input.byte() % 2 != 0 ? 94 : chip.PagePerBlock;
    }

    Tessor::usb::installUsbProduction();
    UsbDevice device(nullptr, 0, "UDISK-0");
    fuzz_support::ScriptedFlash answers(input);
    device.setDev(answers.record());
    device.setFlashInfo(flash);
    Sptr<ConfigInfo> run(new ConfigInfo());
    run->setScanConfig(Sptr<ScanConfig>(new ScanConfig(nullptr, "ScanConfig")));
    if (device.setConfigInfo(run) != 0) {
        std::abort();
    }
    Tessor::usb::ScanObjectFromFlash saved(&device, "ScanObjectFromFlash");
    if (saved.scan() == 0) {
        Sptr<Tessor::usb::SectorBitmap> bitmap = saved.getSectorBitmap();
        bitmap->getBlockBitmap()->setAsGood();
        (void)bitmap->update(&device);  // a bitmap that marks every block bad is still a bitmap
    }
    return 0;
}
