#include "usb/scan/ScanBitmap.h"

#include "schema/base/Assert.h"

namespace Tessor::usb {

ScanBitmap::ScanBitmap(int pagesPerBlock, _SCAN_PAGE_MODE mode, std::string name)
    : m_pagesPerBlock(pagesPerBlock), m_mode(mode), m_name(std::move(name))
{
    TESSOR_ASSERT(pagesPerBlock > 0);
    ScanBitmap::init();
}

bool ScanBitmap::isScan(int page) const
{
    TESSOR_ASSERT(page >= 0 && page < m_pagesPerBlock);
    return (m_flags[page / 8] >> (page % 8)) & 1;
}

int ScanBitmap::init()
{
    m_flags.assign((m_pagesPerBlock + 7) / 8, 0xFF);
    switch (m_mode) {
    case SCAN_PAGE_2K_ODD:
        setAsEvenOrOdd(false);
        break;
    case SCAN_PAGE_2K_EVEN:
        setAsEvenOrOdd(true);
        break;
    case SCAN_PAGE_FORMER_HALF:
        setAsFormerOrAfterOfBlk(false);
        break;
    case SCAN_PAGE_AFTER_HALF:
        setAsFormerOrAfterOfBlk(true);
        break;
    default:
        break;
    }
    return 0;
}

int ScanBitmap::myInit()
{
    return 0;
}

void ScanBitmap::setAsEvenOrOdd(bool even)
{
    for (int page = even ? 1 : 0; page < m_pagesPerBlock; page += 2) {
        unmark(page);
    }
}

void ScanBitmap::setAsFormerOrAfterOfBlk(bool after)
{
    const size_t half = m_flags.size() / 2;
    const size_t first = after ? 0 : half;
    for (size_t i = first; i < first + half; ++i) {
        m_flags[i] = 0;
    }
}

void ScanBitmap::unmark(int page)
{
    if (page >= 0 && page < m_pagesPerBlock) {
        m_flags[page / 8] &= static_cast<uint8_t>(~(1u << (page % 8)));
    }
}

void ScanBitmap::unmarkRange(int first, int last)
{
    for (int page = first; page <= last; ++page) {
        unmark(page);
    }
}

void ScanBitmap::keepOnly(const std::function<bool(int)>& marked)
{
    for (int page = 0; page < m_pagesPerBlock; ++page) {
        if (!marked(page)) {
            unmark(page);
        }
    }
}

}  // namespace Tessor::usb
