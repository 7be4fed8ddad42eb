// The device error codes: set in the event when a device step fails and
// reported to the window with the status event. Device commands and tasks
// that fail return the code negated. The window's text for each code is in
// the port texts' error table.
#pragma once

namespace Tessor::schema {

class DeviceCode {
public:
    // Device-library error codes enter the engine as the library's code plus
    // this base.
    static constexpr int LIBRARY_ERROR_BASE = 0x800;

    static constexpr int OPEN_FAILED = 0x8000;                   // the device could not be opened
    static constexpr int ACCESS_FAILED = 0x8001;                 // a read or command on the device failed
    static constexpr int EEPROM_WRITE_FAILED = 0x8002;           // the EEPROM could not be written
    static constexpr int EEPROM_READ_FAILED = 0x8003;            // the EEPROM could not be read
    static constexpr int CFG_TABLE_DOWNLOAD_FAILED = 0x8004;     // the configuration table download failed
    static constexpr int SCAN_CODE_DOWNLOAD_FAILED = 0x8005;     // the scan code (firmware) download failed
    static constexpr int NO_FLASH_ID = 0x8006;                   // no flash could be identified
    static constexpr int NO_FLASH_INFO = 0x8007;                 // the flash ids were read but name no known chip
    static constexpr int SCAN_FAILED = 0x8008;                   // a scan write failed, or no usable saved bitmap
    static constexpr int CFG_TABLE_WRITE_FAILED = 0x8009;        // writing or checking the configuration table failed
    static constexpr int EXTERNAL_CODE_WRITE_FAILED = 0x800A;    // writing or checking the external code failed
    static constexpr int SPECIAL_FILE_CREATE_FAILED = 0x8010;    // a special file could not be created
    static constexpr int BAD_BLOCK_TABLE_WRITE_FAILED = 0x8011;  // writing or checking the flag or page bitmap failed
    static constexpr int SECTOR_INIT_FAILED = 0x8012;            // the sectors could not be initialised
    static constexpr int FILE_SYSTEM_FAILED = 0x8013;            // no file system can be created (a refused label)
    static constexpr int FORMAT_UNCERTAIN = 0x8014;              // the format may have failed
    static constexpr int FILE_COPY_FAILED = 0x8015;              // copying files to a partition failed
    static constexpr int EXTERNAL_CODE_DOWNLOAD_FAILED = 0x8016; // the external code download failed
    static constexpr int SPECIAL_FILE_MISSING = 0x8017;          // a special file was not found
    static constexpr int SECOND_SPECIAL_FILE_MISSING = 0x8018;   // a special file was not found (a second code)
    static constexpr int NO_CDROM_IMAGE = 0x8019;                // the CD-ROM image file was not found
    static constexpr int NOT_ON_THIS_VERSION = 0x801A;           // the step is not supported on this version
    static constexpr int CAPACITY_TOO_SMALL = 0x8020;            // the run settings cannot be laid out on the device
    static constexpr int TOO_MANY_BAD_BLOCKS = 0x8021;           // the good blocks leave no room for the tables
    static constexpr int OUT_OF_MEMORY = 0x8022;                 // memory could not be allocated
    static constexpr int NOT_SUPPORTED = 0x8023;                 // not supported on this version
    static constexpr int VERIFY_FAILED = 0x8024;                 // data read back differ from what was written
    static constexpr int FLASH_DEFECTIVE = 0x8025;               // the flash chip is defective
    static constexpr int SCAN_BITMAP_FAILED = 0x8026;            // no scan bitmap can be made for the flash
    static constexpr int EJECT_FAILED = 0x8027;                  // the eject failed; also the stop of an eject request
    static constexpr int PRESCAN_FAILED = 0x8028;                // the pre-scan found no scan mode
    static constexpr int CANCELLED = 0x8029;                     // production cancelled by the operator
    static constexpr int ERASE_FAILED = 0x802A;                  // erasing flash blocks failed
    static constexpr int INDEX_TABLE_FAILED = 0x802B;            // the index tables failed, or no working scan speed
    static constexpr int READ_VERSION_FAILED = 0x802C;           // the read-version command failed
    static constexpr int LOCK_VOLUME_FAILED = 0x802D;            // the volume could not be locked
    static constexpr int UNLOCK_VOLUME_FAILED = 0x802E;          // the volume could not be unlocked
    static constexpr int VOLUME_CONTROL_FAILED = 0x802F;         // a volume control command failed
    static constexpr int PARTITION_SWITCH_FAILED = 0x8030;       // switching or unprotecting a partition failed
    static constexpr int NO_USER_SETTING_FILE = 0x8031;          // the user setting file is missing
    static constexpr int BITMAP_SAVE_FAILED = 0x8032;            // the sector bitmap could not be saved to the flash
    static constexpr int SECTOR_MAP_WRITE_FAILED = 0x8033;       // the sector map could not be written
    static constexpr int CDROM_BUILD_FAILED = 0x8034;            // building the CD-ROM partition failed
    static constexpr int MBR_BUILD_FAILED = 0x8035;              // building the MBR failed
    static constexpr int DBR_BUILD_FAILED = 0x8036;              // building the DBR failed
    static constexpr int FAT_BUILD_FAILED = 0x8037;              // building the FAT failed
    static constexpr int ROOT_DIR_BUILD_FAILED = 0x8038;         // building the root directory failed
    static constexpr int FORMAT_CHECK_FAILED = 0x8039;           // the formatted data did not validate
    static constexpr int UNSUPPORTED_FIRMWARE = 0x803A;          // the firmware version is not supported
    static constexpr int NO_CFG_TABLE = 0x803B;                  // the device carries no configuration table
    static constexpr int WRONG_CONTROLLER = 0x803C;              // the firmware does not match the configured controller
    static constexpr int NO_HIDDEN_LUN = 0x803D;                 // none of the first four LUNs is hidden or protected
    static constexpr int WRONG_PASSWORD = 0x803E;                // the hidden partition's password is not the device's
    static constexpr int DPF_ADDRESS_FAILED = 0x803F;            // the photo-frame addresses cannot be allocated
    static constexpr int DPF_CODE_WRITE_FAILED = 0x8040;         // writing or checking the photo-frame code failed
    static constexpr int DPF_DATA_WRITE_FAILED = 0x8041;         // writing the photo-frame data failed
    static constexpr int FLASH_ID_READ_FAILED = 0x8042;          // the flash id could not be read
    static constexpr int CFG_TABLE_INDEX_WRITE_FAILED = 0x8043;  // writing or checking the table's index failed
};

}  // namespace Tessor::schema
