#include "usb/cfg/TlcPages.h"

#include "schema/device/UsbDevice.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

namespace {

int realPagesPerBlock(schema::UsbDevice* device)
{
    Sptr<FlashInfo> flash = device != nullptr ? device->getFlashInfo() : Sptr<FlashInfo>();
    return flash ? flash->getChipInfo()->RealPagePerBlock : 0;
}

}  // namespace

int TlcPages::partnerPage(int realPages, int page)
{
    if (realPages == 94) {
        return page >= 6 && page <= 93 && page % 3 == 0 ? page - 4 : -1;
    }
    if (realPages == 192) {
        if (page == 4) {
            return 1;
        }
        if (page == 191) {
            return 189;
        }
        return page >= 7 && page <= 190 && page % 3 == 1 ? page - 4 : -1;
    }
    return -1;
}

TlcPages::Address TlcPages::tlcPageAddress(schema::UsbDevice* device, Address target)
{
    const int partner = target ? partnerPage(realPagesPerBlock(device), target->getPageNo()) : -1;
    if (partner < 0) {
        return Address();
    }
    Address address(new schema::BaseAddress(target));
    address->setPageNo(partner);
    return address;
}

bool TlcPages::tlcSamePageGroup(schema::UsbDevice* device, Address a, Address b)
{
    return a && b && a->getBlockNo() == b->getBlockNo() &&
           a->getPageNo() == partnerPage(realPagesPerBlock(device), b->getPageNo());
}

TlcPages::Address TlcPages::_allocatAdd(schema::UsbDevice* device, const std::vector<Address>& systemPages,
                                        Address target)
{
    for (const Address& page : systemPages) {
        if (tlcSamePageGroup(device, page, target)) {
            return Address();
        }
    }
    return tlcPageAddress(device, target);
}

}  // namespace Tessor::usb
