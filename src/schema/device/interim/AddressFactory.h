#pragma once

#include "schema/base/Sptr.h"
#include "schema/device/BaseAddress.h"

namespace Tessor::interim {

// Until allocation exists every address is empty.
class AddressFactory {
public:
    explicit AddressFactory(schema::UsbDevice* device) : m_device(device) {}
    virtual ~AddressFactory() = default;

    schema::UsbDevice* getDevice() const { return m_device; }
    Sptr<schema::BaseAddress> getPageBitmapAddress() const { return m_pageBitmap; }
    Sptr<schema::BaseAddress> getFlagTableAddress() const { return m_flagTable; }
    Sptr<schema::BaseAddress> getExternalCodeAddress() const { return m_externalCode; }
    Sptr<schema::BaseAddress> getDpfCodeAddress() const { return m_dpfCode; }
    Sptr<schema::BaseAddress> getCfgTableAddress() const { return m_cfgTable; }
    Sptr<schema::BaseAddress> getCfgTableIndexAddress() const { return m_cfgTableIndex; }
    Sptr<schema::BaseAddress> getBuildInfoAddress() const { return m_buildInfo; }
    int getPagesCountPerCode() const { return 0; }
    int getPagesCount4ExternalCode() const { return 0; }
    int getPagesCount4DpfCode() const { return 0; }
    int getPagesCount4BlockSet0() const { return 0; }

private:
    schema::UsbDevice* m_device;
    Sptr<schema::BaseAddress> m_pageBitmap;
    Sptr<schema::BaseAddress> m_flagTable;
    Sptr<schema::BaseAddress> m_externalCode;
    Sptr<schema::BaseAddress> m_dpfCode;
    Sptr<schema::BaseAddress> m_cfgTable;
    Sptr<schema::BaseAddress> m_cfgTableIndex;
    Sptr<schema::BaseAddress> m_buildInfo;
};

}  // namespace Tessor::interim
