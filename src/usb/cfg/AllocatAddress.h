// One copy of the system area: where its configuration table and index,
// external code (its children are the code pages), photo-frame code, flag
// table, build information and page bitmap go, and its external-code index.
// The device's own object of this class holds the copies as its children.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/device/BaseAddress.h"
#include "usb/cfg/ExternalCodeIndex.h"

namespace Tessor::usb {

class AllocatAddress : public schema::BaseData {
public:
    using Address = Sptr<schema::BaseAddress>;

    AllocatAddress();

    // Releases every address but the external-code index's and gives the
    // set a fresh, all-zero external-code index.
    int init() override;

    Address getCfgTableAddress() const { return m_cfgTable; }
    void setCfgTableAddress(Address a) { m_cfgTable = a; }
    Address getCfgTableIndexAddress() const { return m_cfgTableIndex; }
    void setCfgTableIndexAddress(Address a) { m_cfgTableIndex = a; }
    Address getExternalCodeIndexAddress() const { return m_externalCodeIndex; }
    void setExternalCodeIndexAddress(Address a) { m_externalCodeIndex = a; }
    Address getExternalCodeAddress() const { return m_externalCode; }
    void setExternalCodeAddress(Address a) { m_externalCode = a; }
    // Its children are the photo-frame code pages of this copy.
    Address getDpfCodeAddress() const { return m_dpfCode; }
    void setDpfCodeAddress(Address a) { m_dpfCode = a; }
    Address getFlagTableAddress() const { return m_flagTable; }
    void setFlagTableAddress(Address a) { m_flagTable = a; }
    Address getBuildInfoAddress() const { return m_buildInfo; }
    void setBuildInfoAddress(Address a) { m_buildInfo = a; }
    Address getPageBitmapAddress() const { return m_pageBitmap; }
    void setPageBitmapAddress(Address a) { m_pageBitmap = a; }
    Sptr<ExternalCodeIndex> getExternalCodeIndex() const { return m_externalCodeIndexRecord; }

private:
    Address m_cfgTable;
    Address m_cfgTableIndex;
    Address m_externalCodeIndex;
    Address m_externalCode;
    Address m_dpfCode;
    Address m_flagTable;
    Address m_buildInfo;
    Address m_pageBitmap;
    Sptr<ExternalCodeIndex> m_externalCodeIndexRecord;
};

}  // namespace Tessor::usb
