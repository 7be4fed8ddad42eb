// The default configuration table and the firmware images the download
// tasks hand to a device, by command number: 0 the default table,
// 1 "ScanCode", 2 "ExternalAsScanCode", 3 "External4HighFormat".
#pragma once

#include "schema/base/Sptr.h"
#include "schema/data/BaseCmdData.h"

namespace Tessor::usb {

enum CODE_COMMAND_T {
    CODE_DEFAULT_CFG_TABLE = 0,
    CODE_SCAN = 1,
    CODE_WRITE_FLASH = 2,
    CODE_HIGH_FORMAT = 3,
};

Sptr<schema::BaseCmdData> getCodeCommand(CODE_COMMAND_T command);

}  // namespace Tessor::usb
