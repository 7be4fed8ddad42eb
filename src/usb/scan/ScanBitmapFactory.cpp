#include "usb/scan/ScanBitmapFactory.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "usb/scan/ScanBitmap4KIgnoreH.h"
#include "usb/scan/ScanBitmap4KIgnoreL.h"
#include "usb/scan/ScanBitmap4KQIgnoreH.h"
#include "usb/scan/ScanBitmap4KQIgnoreL.h"
#include "usb/scan/ScanBitmap6LIgnoreH.h"
#include "usb/scan/ScanBitmap6LIgnoreL.h"
#include "usb/scan/ScanBitmapFront2.h"
#include "usb/scan/ScanBitmapTLCABPage.h"
#include "usb/scan/ScanBitmapTLCAPage.h"
#include "usb/scan/ScanBitmapTLCAllPage.h"
#include "usb/scan/ScanBitmapTLCBCPage.h"
#include "usb/scan/ScanBitmapTLCBPage.h"

namespace Tessor::usb {

int ScanBitmapFactory::create(schema::UsbDevice* device, Sptr<ScanBitmapFactory>& factory)
{
    return create(device, ScanGeometry::ofDevice(device), factory);
}

int ScanBitmapFactory::create(schema::UsbDevice* device, const ScanGeometry& geometry,
                              Sptr<ScanBitmapFactory>& factory)
{
    if (!geometry.hasPagePatterns()) {
        CPLOG(3, "Create scan bitmatp failed: no page pattern for %d pages per block of %s flash",
              geometry.pagesPerBlock, geometry.tlc ? "TLC" : "normal");
        return -schema::DeviceCode::SCAN_BITMAP_FAILED;
    }
    factory = Sptr<ScanBitmapFactory>(new ScanBitmapFactory(device, geometry.pagesPerBlock));
    if (geometry.tlc) {
        factory->tlcInit();
    } else {
        factory->init();
    }
    return 0;
}

ScanBitmapFactory::ScanBitmapFactory(schema::UsbDevice* device, int pagesPerBlock)
    : BaseData(device, "ScanBitmapFactory"), m_pagesPerBlock(pagesPerBlock)
{
}

Sptr<ScanBitmap> ScanBitmapFactory::getScanBitmap(_SCAN_PAGE_MODE mode)
{
    auto found = m_patterns.find(mode);
    TESSOR_ASSERT(found != m_patterns.end());
    return found->second;
}

int ScanBitmapFactory::init()
{
    const int pages = m_pagesPerBlock;
    add(new ScanBitmap(pages, SCAN_PAGE_ALL, "PageScanModeDefault(All)"));
    add(new ScanBitmap4KIgnoreH(pages, "PageScanMode4KIgnoreH"));
    add(new ScanBitmap4KIgnoreL(pages, "PageScanMode4KIgnoreL"));
    add(new ScanBitmap4KQIgnoreH(pages, "PageScanMode4KIgnoreH(Q)"));
    add(new ScanBitmap4KQIgnoreL(pages, "PageScanMode4KIgnoreL(Q)"));
    add(new ScanBitmap(pages, SCAN_PAGE_2K_EVEN, "PageScanMode2KEven"));
    add(new ScanBitmap(pages, SCAN_PAGE_2K_ODD, "PageScanMode2KOdd"));
    add(new ScanBitmap6LIgnoreH(pages, "PageScanMode6LLOW"));
    add(new ScanBitmap6LIgnoreL(pages, "PageScanMode6LHIGH"));
    add(new ScanBitmap(pages, SCAN_PAGE_FORMER_HALF, "PageScanModeFormerHalf"));
    add(new ScanBitmap(pages, SCAN_PAGE_AFTER_HALF, "PageScanModeAfterHalf"));
    add(new ScanBitmapFront2(pages, "PageScanModeFront2"));
    return 0;
}

int ScanBitmapFactory::tlcInit()
{
    const int pages = m_pagesPerBlock;
    add(new ScanBitmapTLCAllPage(pages, "TLCPageScanModeDefault(All)"));
    add(new ScanBitmapTLCBCPage(pages, "TLCBCPageScanMode"));
    add(new ScanBitmapTLCBPage(pages, "TLCBPageScanMode"));
    add(new ScanBitmapTLCABPage(pages, "TLCABPageScanMode"));
    add(new ScanBitmapTLCAPage(pages, "TLCAPageScanMode"));
    add(new ScanBitmapFront2(pages, "PageScanModeFront2"));
    return 0;
}

void ScanBitmapFactory::add(ScanBitmap* pattern)
{
    m_patterns[pattern->getMode()] = Sptr<ScanBitmap>(pattern);
}

}  // namespace Tessor::usb
