#include "usb/cfg/TlcPages.h"

#include "schema/base/Log.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CfgTableIndex.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cmd/FlagPageBitmap.h"
#include "usb/profile/FlashInfo.h"

namespace Tessor::usb {

namespace {

int realPagesPerBlock(schema::UsbDevice* device)
{
    Sptr<FlashInfo> flash = device != nullptr ? device->getFlashInfo() : Sptr<FlashInfo>();
    return flash ? flash->getChipInfo()->RealPagePerBlock : 0;
}

bool isIndexPointerFirmware(schema::UsbDevice* device)
{
    Sptr<schema::VersionInfo> version = device->getVersion();
    const int firmware = version ? version->getVersionNumber() : 0;
    return firmware == 310 || firmware == 320 || firmware == 400;
}

// A container address stands for its children, any other for itself.
void addPages(std::vector<TlcPages::Address>& pages, const TlcPages::Address& address)
{
    if (address && address->getCount() > 0) {
        for (int i = 0; i < address->getCount(); ++i) {
            pages.push_back(TlcPages::Address(address->getData(i)));
        }
    } else {
        pages.push_back(address);
    }
}

Sptr<schema::BaseAddress> addressOf(const Sptr<schema::BaseData>& object)
{
    return object ? object->getAddress() : Sptr<schema::BaseAddress>();
}

// The pages the device's table and the objects it lists lie at now: a user
// or login run allocates no address set and rewrites these in place (the
// page bitmap stays where it is).
void addHeldPages(std::vector<TlcPages::Address>& pages, schema::UsbDevice* device, bool indexPointer)
{
    Sptr<CfgTable> table = device->getCfgTable();
    if (indexPointer) {
        addPages(pages, addressOf(device->getCfgTableIndex()));
    }
    pages.push_back(addressOf(table));
    addPages(pages, addressOf(device->getExternalCode()));
    addPages(pages, addressOf(device->getDpfCode()));
    pages.push_back(addressOf(device->getFlagBitmap()));
    pages.push_back(table ? table->getExternalCodeIndexAddress() : TlcPages::Address());
    pages.push_back(table ? addressOf(table->getBuildInfo()) : TlcPages::Address());
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

std::vector<TlcPages::Address> TlcPages::systemPages(schema::UsbDevice* device)
{
    std::vector<Address> pages;
    if (device == nullptr) {
        return pages;
    }
    const bool indexPointer = isIndexPointerFirmware(device);
    Sptr<AllocatAddress> sets = device->getAllocatAddress();
    for (int i = 0; sets && i < sets->getCount(); ++i) {
        Sptr<AllocatAddress> set = sets->getData(i);
        if (!set) {
            continue;
        }
        if (indexPointer) {
            addPages(pages, set->getCfgTableIndexAddress());
        }
        pages.push_back(set->getCfgTableAddress());
        addPages(pages, set->getExternalCodeAddress());
        addPages(pages, set->getDpfCodeAddress());
        pages.push_back(set->getFlagTableAddress());
        pages.push_back(set->getExternalCodeIndexAddress());
        CPLOG(7, "_allocatAdd getPageBitmapAddress1 ");
        addPages(pages, set->getPageBitmapAddress());
        CPLOG(7, "_allocatAdd getPageBitmapAddress ");
        pages.push_back(set->getBuildInfoAddress());
    }
    addHeldPages(pages, device, indexPointer);
    return pages;
}

TlcPages::Address TlcPages::_allocatAdd(schema::UsbDevice* device, Address target)
{
    return _allocatAdd(device, systemPages(device), target);
}

std::vector<TlcPages::Address> TlcPages::writeOrder(schema::UsbDevice* device, Address target)
{
    std::vector<Address> pages;
    Sptr<FlashInfo> flash = device != nullptr ? device->getFlashInfo() : Sptr<FlashInfo>();
    if (flash && flash->getChipInfo()->TLC != 0) {
        if (Address duplicate = _allocatAdd(device, target)) {
            pages.push_back(duplicate);
        }
    }
    pages.push_back(target);
    return pages;
}

}  // namespace Tessor::usb
