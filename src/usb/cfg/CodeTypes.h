// Kinds of firmware image and the keys of the commands every device shares.
#pragma once

enum CODE_TYPE_T {
    CODE_TYPE_SCAN = 0,
    CODE_TYPE_RAM = 1,
    CODE_TYPE_RAM_HIGH_FORMAT = 2,
    CODE_TYPE_FLASH = 3,
    CODE_TYPE_DPF = 4,
};

enum CMD_COMMON_T {
    CMD_DEFAULT_CFG_TABLE = 0,
    CMD_SCAN_CODE = 1,
    CMD_EXTERNAL_AS_SCAN_CODE = 2,
    CMD_EXTERNAL_4_HIGH_FORMAT = 3,
};
