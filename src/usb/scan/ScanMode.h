// One scan pass: which blocks (first block and step), which pages of each
// (first page and pattern) and how many units a command repeats.
#pragma once

#include <cstdint>
#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "usb/scan/ScanBitmap.h"
#include "usb/scan/ScanBlockMode.h"

namespace Tessor::usb {

class ScanMode : public schema::BaseData {
public:
    ScanMode(_SCAN_BLOCK_MODE blockMode, std::string name);

    int getRepeatTime() const { return m_repeatTime; }
    void setRepeatTime(int value) { m_repeatTime = value; }
    int getRepeatStep() const { return m_repeatStep; }
    void setRepeatStep(int value) { m_repeatStep = value; }
    int getStartBlock() const { return m_startBlock; }
    void setStartBlock(int value) { m_startBlock = value; }
    int getStartPage() const { return m_startPage; }
    void setStartPage(int value) { m_startPage = value; }

    Sptr<ScanBitmap> getScanBitmap() const { return m_scanBitmap; }
    void setScanBitmap(Sptr<ScanBitmap> scanBitmap);
    _SCAN_BLOCK_MODE getModeType() const { return m_modeType; }

protected:
    int init() override;

private:
    int32_t m_repeatTime = 0;
    int32_t m_repeatStep = 1;
    int32_t m_startBlock = 0;
    int32_t m_startPage = 0;
    Sptr<ScanBitmap> m_scanBitmap;
    _SCAN_BLOCK_MODE m_modeType;
};

}  // namespace Tessor::usb
