// Places the copies of a device's system area in the block set that holds
// it: per copy one run of at most 256 pages for the configuration table,
// the external and photo-frame code, the flag table and the build
// information (and the 6605's external-code index), then the page-bitmap
// pages. On index-pointer firmware it also picks the pages of the
// configuration-table index before the block sets are cut. It works on the
// bitmaps and the block set only; nothing is written to the device.
#pragma once

#include <string>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/device/BaseAddress.h"
#include "usb/cfg/AddrInfo.h"

namespace Tessor::usb {

class AllocatAddress;
class ExternalCode;
class BlockSet;

class AddressFactory : public schema::BaseData {
public:
    using Address = Sptr<schema::BaseAddress>;

    explicit AddressFactory(schema::UsbDevice* device);

    // Every copy the configuration asks for (and, on index-pointer
    // firmware, the pre-allocated index pages allow) is appended to the
    // device's address sets. False when the first copy or a page bitmap
    // cannot be placed; a later copy that cannot be placed ends the copies.
    [[nodiscard]] bool allocateUDiskAddresses(Sptr<BlockSet> blockSet);
    // The index pages, one per copy, in blocks from 2 on; their blocks are
    // marked bad. Empty when no page qualifies.
    Address allocateIndexPointerAddr(schema::UsbDevice* device);

    static bool cfgTable8StepCheck(int pageIndex);
    static bool v31CfgTable8stepCheck(int pageIndex, schema::UsbDevice* device);
    bool gethasCfgTableIndex() const { return m_hasCfgTableIndex; }

    Address getCfgTableAddress() const { return m_cfgTable; }
    Address getCfgTableIndexAddress() const { return m_cfgTableIndex; }
    Address getExternalCodeIndexAddress() const { return m_externalCodeIndex; }
    Address getExternalCodeAddress() const;
    Address getDpfCodeAddress() const;
    Address getFlagTableAddress() const { return m_flagTable; }
    Address getBuildInfoAddress() const { return m_buildInfo; }
    Address getPageBitmapAddress() const { return m_pageBitmap; }
    int getPagesCountPerCode() const { return m_pagesCountPerCode; }
    int getPagesCount4ExternalCode() const { return m_pagesCount4ExternalCode; }
    int getPagesCount4DpfCode() const { return m_pagesCount4DpfCode; }
    int getPagesCount4BlockSet0() const { return m_pagesCount4BlockSet0; }
    int getSectorsCount4BlockSet0() const { return m_sectorsCount4BlockSet0; }
    // Why no size of block set can hold the system area; empty when one may.
    const std::string& getRefusal() const { return m_refusal; }

protected:
    int init() override;
    // One copy's configuration run: 1 done, 0 no room.
    [[nodiscard]] int allocateConfigBlock(Sptr<BlockSet> blockSet);
    // One copy's page-bitmap pages: 1 done, 0 no room.
    [[nodiscard]] int allocatePagesBitmapBlocks(Sptr<BlockSet> blockSet);
    // Usable pages of the block holding firstPage, from firstPage on.
    Address allocateAddress(int firstPage, int sector, Sptr<AddrInfo> request);

private:
    struct CodePages {
        int perPiece = 0;
        int total = 0;
    };
    // The pages `code` takes with sectorsPerPage per page.
    static CodePages codePages(const Sptr<ExternalCode>& code, int sectorsPerPage);
    // The external code this device's run writes: the image of its start,
    // whatever a later start has reloaded since.
    Sptr<ExternalCode> runExternalCode() const;
    bool isIndexPointerFirmware() const;
    bool mayHoldCfgTable(int pageIndex) const;
    bool pageUnusable(int pageIndex) const;
    // Takes the configuration run from page `page` of the block at index ii
    // of the set: the table's page, then need - 1 usable pages after it in
    // `pages`. False, with nothing taken, when the run's blocks hold fewer.
    [[nodiscard]] bool takeRun(const Sptr<BlockSet>& blockSet, int ii, int page, int needBlocks, int need,
                 std::vector<Address>& pages);
    // A new address list at the block of pages[from] holding copies of pages[from, to).
    Address listOf(const std::vector<Address>& pages, int from, int to) const;
    [[nodiscard]] bool placePageBitmap(const Sptr<BlockSet>& blockSet, AllocatAddress& set);
    void fillCopy(AllocatAddress& set, bool indexPointer) const;

    Address m_cfgTable;
    Address m_cfgTableIndex;
    Address m_externalCodeIndex;
    Address m_externalCode;
    Address m_dpfCode;
    Address m_flagTable;
    Address m_buildInfo;
    Address m_pageBitmap;
    int m_pagesCountPerCode = 0;
    int m_pagesCount4ExternalCode = 0;
    int m_pagesCount4DpfCode = 0;
    int m_pagesCount4BlockSet0 = 0;
    int m_sectorsCount4BlockSet0 = 0;
    bool m_hasCfgTableIndex = false;
    std::string m_refusal;
};

}  // namespace Tessor::usb
