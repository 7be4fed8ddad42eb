// Signals of internal device events; each is taken by exactly one operator.
// Values 3 and 4 are not used.
#pragma once

namespace Tessor::schema {

enum DeviceSignalType {
    DEV_SIG_READ_VERSION = 1,
    DEV_SIG_READ_FLASH_ID = 2,
    DEV_SIG_DETECT_SPEED = 5,
    DEV_SIG_DETERMINE_MODE = 6,
    DEV_SIG_SCAN = 7,
    DEV_SIG_AFTER_SCAN = 8,
    DEV_SIG_DUMMY_BITMAP = 9,
    DEV_SIG_SAVE_BITMAP = 10,
    DEV_SIG_CREATE_BLOCK_SET = 11,
    DEV_SIG_CREATE_INDEX_MAP = 12,
    DEV_SIG_WRITE_DATA = 13,
    DEV_SIG_VERIFY_DATA = 14,
    DEV_SIG_TEST_DISK = 15,
    DEV_SIG_FORMAT_ALL = 16,
};

}  // namespace Tessor::schema
