#pragma once

#include "schema/base/Log.h"
#include "schema/data/BaseCmdData.h"

namespace Tessor::interim {

enum CODE_TYPE_T {
    CODE_TYPE_SCAN = 0,
    CODE_TYPE_RAM = 1,
    CODE_TYPE_RAM_HIGH_FORMAT = 2,
    CODE_TYPE_FLASH = 3,
    CODE_TYPE_DPF = 4,
};

class CmdExternalCode : public schema::BaseCmdData {
public:
    CmdExternalCode(const std::string& name, CODE_TYPE_T type) : BaseCmdData(name), m_type(type) { init(); }
    CODE_TYPE_T getType() const { return m_type; }
    int myInit() override { return 0; }
    int writeFlash(schema::UsbDevice* /*device*/) override
    {
        CPLOG(3, "%s has no code image to write", getName());
        return -1;
    }

private:
    CODE_TYPE_T m_type;
};

}  // namespace Tessor::interim
