#include "usb/profile/DpfConfig.h"

namespace Tessor::schema {

DpfConfig::DpfConfig(const std::string& name) : BaseData(name)
{
    init();
}

int DpfConfig::init()
{
    return 0;
}

}  // namespace Tessor::schema
