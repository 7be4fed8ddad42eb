// A page pattern: the set of pages of a block that a scan pass touches.
// Every pattern starts with all pages marked; each rule only unmarks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "usb/scan/ScanPageMode.h"

namespace Tessor::usb {

class ScanBitmap {
public:
    ScanBitmap(int pagesPerBlock, _SCAN_PAGE_MODE mode, std::string name);
    virtual ~ScanBitmap() = default;
    ScanBitmap(const ScanBitmap&) = delete;
    ScanBitmap& operator=(const ScanBitmap&) = delete;

    bool isScan(int page) const;
    _SCAN_PAGE_MODE getMode() const { return m_mode; }
    const char* getName() const { return m_name.c_str(); }
    int getPagesPerBlock() const { return m_pagesPerBlock; }

protected:
    virtual int init();
    virtual int myInit();

    void setAsEvenOrOdd(bool even);
    void setAsFormerOrAfterOfBlk(bool after);

    // Pages at or past the end of the block are ignored, so a rule written
    // for a bigger block stays inside the flags of a smaller one.
    void unmark(int page);
    void unmarkRange(int first, int last);
    // Unmarks every page for which `marked` is false.
    void keepOnly(const std::function<bool(int)>& marked);

private:
    int m_pagesPerBlock;
    std::vector<uint8_t> m_flags;
    _SCAN_PAGE_MODE m_mode;
    std::string m_name;
};

}  // namespace Tessor::usb
