#include "usb/cfg/AllocatAddress.h"

namespace Tessor::usb {

AllocatAddress::AllocatAddress() : BaseData("Allocata Address")
{
    init();
}

int AllocatAddress::init()
{
    m_cfgTable = Address();
    m_cfgTableIndex = Address();
    m_externalCode = Address();
    m_dpfCode = Address();
    m_flagTable = Address();
    m_buildInfo = Address();
    m_pageBitmap = Address();
    m_externalCodeIndexRecord = Sptr<ExternalCodeIndex>(new ExternalCodeIndex());
    return 0;
}

}  // namespace Tessor::usb
