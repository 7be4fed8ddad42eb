// One set of flash addresses that the address allocation hands out for the
// system area: configuration table and index, external code (its children are
// the code pages), flag table, build information and page bitmap.
#pragma once

#include "schema/base/Sptr.h"
#include "schema/device/BaseAddress.h"

namespace Tessor::usb {

class AllocatAddress {
public:
    using Address = Sptr<schema::BaseAddress>;

    Address getCfgTableAddress() const { return m_cfgTable; }
    void setCfgTableAddress(Address a) { m_cfgTable = a; }
    Address getCfgTableIndexAddress() const { return m_cfgTableIndex; }
    void setCfgTableIndexAddress(Address a) { m_cfgTableIndex = a; }
    Address getExternalCodeIndexAddress() const { return m_externalCodeIndex; }
    void setExternalCodeIndexAddress(Address a) { m_externalCodeIndex = a; }
    Address getExternalCodeAddress() const { return m_externalCode; }
    void setExternalCodeAddress(Address a) { m_externalCode = a; }
    Address getFlagTableAddress() const { return m_flagTable; }
    void setFlagTableAddress(Address a) { m_flagTable = a; }
    Address getBuildInfoAddress() const { return m_buildInfo; }
    void setBuildInfoAddress(Address a) { m_buildInfo = a; }
    Address getPageBitmapAddress() const { return m_pageBitmap; }
    void setPageBitmapAddress(Address a) { m_pageBitmap = a; }

private:
    Address m_cfgTable;
    Address m_cfgTableIndex;
    Address m_externalCodeIndex;
    Address m_externalCode;
    Address m_flagTable;
    Address m_buildInfo;
    Address m_pageBitmap;
};

}  // namespace Tessor::usb
