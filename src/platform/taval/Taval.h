// Device-layer library: the records shared with the engine, the per-device
// operations table, the event callback and command entry, and the helper
// calls. Devices behind it are simulated (see Hub.h for the test controls).
#pragma once

#include <cstddef>
#include <cstdint>

struct _USB_DEVICE_T;
struct VOLUME_DEVICE_T;
struct DEVICE_INIT_T;

// Byte sizes of the maker's records, kept for the engine's size log lines.
constexpr int DEVICE_MGR_T_SIZE = 56;
constexpr int DEVICE_INIT_T_SIZE = 588;
constexpr int USB_DEVICE_T_SIZE = 410278;
constexpr int VOLUME_DEVICE_T_SIZE = 1057;
constexpr int DEV_OPERATIONS_T_SIZE = 92;

// Every read leaves its data here: 800 sectors at most.
constexpr int USB_DEVICE_BUFFER_SIZE = 409600;
constexpr int USB_DEVICE_DRIVE_TEXT_SIZE = 20;
constexpr int DEVICE_INIT_NAME_SIZE = 32;
constexpr int DEVICE_INIT_LOG_NAME_SIZE = 512;

// Library events (1..6, 10) and the commands the engine hands back (7, 9).
enum device_event_t {
    HW_EVT_NONE = 0,
    HW_EVT_PLUG_IN = 1,
    HW_EVT_REMOVED = 2,
    HW_EVT_EJECTED = 3,
    HW_EVT_EJECT_FAILED = 4,
    HW_EVT_LAYER_READY = 5,
    HW_EVT_ERROR = 6,
    HW_CMD_AFTER_PLUG_IN = 7,
    HW_CMD_CLOSE_DEVICE = 9,
    // The operator stops the device's run: errorCode 0x8029 cancels it,
    // 0x8027 ejects the device.
    HW_EVT_CANCEL = 10,
};

// Kinds of flash id read (slot 8).
enum FLASH_TYPES {
    FLASH_TYPE_INTERLEAVED = 0,  // id bytes at answer positions 0, 2, 4, 6
    FLASH_TYPE_PLAIN = 2,        // id bytes at answer positions 0..3
};

// Volume operations: 0 lock, 1 unlock, 2 second lock form (slots 16, 15,
// 17); 3 at the start of a run and 4 after the flash id (slot 22).
enum _VOLUME_OP_T {
    VOLUME_LOCK = 0,
    VOLUME_UNLOCK = 1,
    VOLUME_LOCK_AGAIN = 2,
    VOLUME_RUN_START = 3,
    VOLUME_AFTER_FLASH_ID = 4,
};

// Library event handed to the callback; the callback owns it and releases
// it with shared_free.
struct DEVICE_EVENT_T {
    int kind;              // device_event_t
    int errorCode;         // library error code, for HW_EVT_ERROR
    int deviceIndex;       // port of the device
    _USB_DEVICE_T* device; // null for events that concern no device
};

// Event callback, run on the library's own thread; returns 0.
typedef int (*DEVICE_EVENT_CALLBACK)(DEVICE_INIT_T* init, DEVICE_EVENT_T* event);
// Command entry the library stores in the start record; kind is
// HW_CMD_AFTER_PLUG_IN or HW_CMD_CLOSE_DEVICE. Returns non-zero on success.
typedef int (*DEVICE_COMMAND_ENTRY)(DEVICE_INIT_T* init, _USB_DEVICE_T* device, int kind);

// Start record, filled by the engine before initDevices.
struct DEVICE_INIT_T {
    int reserved0 = 0;
    void* context = nullptr;  // the engine's device manager
    int deviceCount = 0;
    int reserved1 = 0;
    int bigBuffer = 0;
    char displayName[DEVICE_INIT_NAME_SIZE] = {};
    char logFileName[DEVICE_INIT_LOG_NAME_SIZE] = {};
    int logLevel = 0;
    int logSizeLimit = 0;  // bytes
    int reserved2 = 0;
    DEVICE_EVENT_CALLBACK callback = nullptr;
    DEVICE_COMMAND_ENTRY commandEntry = nullptr;  // written by initDevices
    int reserved3 = 0;
};

// Library manager record; opaque to the engine.
struct DEVICE_MGR_T {
    void* library = nullptr;
};

// Operations table: 23 slots, each returns non-zero for success and 0 for
// failure. Reads leave their data in the record's data buffer.
struct DEV_OPERATIONS_T {
    void* unused;                                                                   // 0
    int (*readLogicalSectors)(_USB_DEVICE_T* dev, unsigned first, unsigned count);  // 1
    int (*writeLogicalSectors)(_USB_DEVICE_T* dev, unsigned first, unsigned count,
                               const unsigned char* data);                          // 2
    // chip, sector address of the first block inside the chip, block count
    int (*eraseBlocks)(_USB_DEVICE_T* dev, int chip, int sectorInChip, int count);  // 3
    // sector: within the chip, or device-wide when it lies beyond the chip
    int (*readFlashSectors)(_USB_DEVICE_T* dev, int chip, int sector, int count);   // 4
    int (*writeFlashSectors)(_USB_DEVICE_T* dev, int chip, int sector, int count,
                             const unsigned char* data);                            // 5
    int (*writeL1IndexTable)(_USB_DEVICE_T* dev, int chip, int sector, unsigned char setNo,
                             const unsigned char* table);                           // 6
    // The table's length is the variant's (512, 513 for 6726); length may be 0.
    int (*writeConfigTable2Ram)(_USB_DEVICE_T* dev, const unsigned char* table,
                                int length);                                        // 7
    int (*readFlashId)(_USB_DEVICE_T* dev, int chip, int kind);                     // 8
    int (*downloadExternalCode)(_USB_DEVICE_T* dev, unsigned char mode,
                                const unsigned char* code, int length);             // 9
    int (*partitionProtect)(_USB_DEVICE_T* dev, unsigned char unit,
                            unsigned char setting);                                 // 10
    int (*switchPartition)(_USB_DEVICE_T* dev, int reserved, unsigned char unit);   // 11
    int (*readVersionInfo)(_USB_DEVICE_T* dev);                                     // 12
    int (*resetDevice)(_USB_DEVICE_T* dev, unsigned char mode);                     // 13
    int (*ejectDisk)(_USB_DEVICE_T* dev);                                           // 14
    int (*volumeUnlock)(_USB_DEVICE_T* dev);                                        // 15: op 1
    int (*volumeLock)(_USB_DEVICE_T* dev);                                          // 16: op 0
    int (*volumeLockAgain)(_USB_DEVICE_T* dev);                                     // 17: op 2
    int (*readSectorsNoEcc)(_USB_DEVICE_T* dev, int chip, int sector,
                            unsigned char count);                                   // 18
    int (*writeSectorsNoEcc)(_USB_DEVICE_T* dev, int chip, int sector, unsigned char count,
                             const unsigned char* data);                            // 19
    int (*writeScanSectors)(_USB_DEVICE_T* dev, unsigned char chip, unsigned int sector,
                            unsigned char value, unsigned char command,
                            unsigned short jump, unsigned short repeat,
                            unsigned char count, const unsigned char* data);        // 20
    int (*readScanSectors)(_USB_DEVICE_T* dev, unsigned char chip, unsigned int sector,
                           const unsigned char* param4, unsigned char command,
                           unsigned short jump, unsigned short repeat,
                           unsigned char flag);                                     // 21
    int (*volumeControl)(VOLUME_DEVICE_T* volume, int operation);                   // 22: ops 3, 4
};

// Slot numbers of the operations table.
enum DEV_OPERATION_SLOT {
    DEV_OP_READ_LOGICAL = 1,
    DEV_OP_WRITE_LOGICAL = 2,
    DEV_OP_ERASE_BLOCKS = 3,
    DEV_OP_READ_FLASH = 4,
    DEV_OP_WRITE_FLASH = 5,
    DEV_OP_WRITE_L1_INDEX = 6,
    DEV_OP_CONFIG_TABLE_TO_RAM = 7,
    DEV_OP_READ_FLASH_ID = 8,
    DEV_OP_DOWNLOAD_CODE = 9,
    DEV_OP_PARTITION_PROTECT = 10,
    DEV_OP_SWITCH_PARTITION = 11,
    DEV_OP_READ_VERSION = 12,
    DEV_OP_RESET = 13,
    DEV_OP_EJECT = 14,
    DEV_OP_VOLUME_UNLOCK = 15,
    DEV_OP_VOLUME_LOCK = 16,
    DEV_OP_VOLUME_LOCK_AGAIN = 17,
    DEV_OP_READ_NO_ECC = 18,
    DEV_OP_WRITE_NO_ECC = 19,
    DEV_OP_WRITE_SCAN = 20,
    DEV_OP_READ_SCAN = 21,
    DEV_OP_VOLUME_CONTROL = 22,
    DEV_OP_SLOT_COUNT = 23,
};

static_assert(sizeof(DEV_OPERATIONS_T) == DEV_OP_SLOT_COUNT * sizeof(void*));
static_assert(offsetof(DEV_OPERATIONS_T, readVersionInfo) == DEV_OP_READ_VERSION * sizeof(void*));
static_assert(offsetof(DEV_OPERATIONS_T, volumeControl) == DEV_OP_VOLUME_CONTROL * sizeof(void*));

// Volume record of a device (slot 22).
struct VOLUME_DEVICE_T {
    _USB_DEVICE_T* device;
};

// Device record: one per port, kept from plug-in until the engine closes it
// (HW_CMD_CLOSE_DEVICE) and reused by the port's next device.
struct _USB_DEVICE_T {
    void* diskHandle;                              // vendor pass-through target
    char driveText[USB_DEVICE_DRIVE_TEXT_SIZE];    // e.g. "SIM0"
    int slotIndex;                                 // negative: not bound to a slot
    unsigned char dataBuffer[USB_DEVICE_BUFFER_SIZE];
    int dataLength;                                // bytes of the last read
    DEV_OPERATIONS_T* operations;
    VOLUME_DEVICE_T* volume;
};

// Chip-set look-up answer; the first int is the chip-set code.
struct CHIPSET_NAME_T {
    int chipSet;
    const char* name;
};

// Hardware version of a chip set.
struct _HW_VERSION_T {
    int chipSet;
    int version;  // firmware version number: 240, 300, 310, 320, 400, 600
    const char* name;
};

// Library life cycle. initDevices returns 0 when running, a negative code
// otherwise (and starts nothing); destoryDevices may be called again and no
// callback runs after it returns.
[[nodiscard]] int initDevices(DEVICE_MGR_T* mgr, DEVICE_INIT_T* init);
void destoryDevices(DEVICE_MGR_T* mgr);

// Window side: there are no device-change messages here.
[[nodiscard]] int deviceRegister(void* window);
[[nodiscard]] int deviceUnRegister();
[[nodiscard]] int deviceChanged(void* window, DEVICE_MGR_T* mgr, unsigned long wParam, long lParam);
[[nodiscard]] int deviceAdd(DEVICE_MGR_T* mgr, unsigned long wParam);
[[nodiscard]] int deviceDelete(DEVICE_MGR_T* mgr, unsigned long wParam);
[[nodiscard]] int setBindingState(int bound);

// Look-ups: null when unknown.
const CHIPSET_NAME_T* usbDeviceFindChipSet(const char* name);
const _HW_VERSION_T* usbDeviceFindHwVersion(int chipSet);

// Texts for log lines.
const char* usbDeviceFindEventName(int kind);
const char* usbDeviceGetErrorInfo(int code);
const char* deviceLayerVersionInfo();
const char* getWindowsErrorMsg();  // last OS error of the calling thread

// Eight upper-case hex digits, the value's bytes lowest first.
void hexInt2String(char* out, unsigned int value);
// Base-2 exponent: floor(log2 n), 0 for n <= 1.
int getNumberInExp(unsigned int n);

// Host files. Size -1 = missing or not a plain file. Reads and writes move len bytes at file
// offset off and return the count moved; a write at offset 0 replaces the file.
int usbGetFileSize(const char* path);
[[nodiscard]] int usbReadFile(const char* path, void* buf, int len, int off);
[[nodiscard]] int usbWriteFile(const char* path, const void* buf, int len, int off);
// Fills the first root-directory sector with the volume-label entry (the
// label space-padded to 11 bytes as given), or zeros for no label.
[[nodiscard]] int createRootDir(unsigned char* sector512, const char* label);
// Copies a host folder onto the drive "<drive text>:"; non-zero = success.
[[nodiscard]] int copyDirectory2Flash(const char* source, const char* target, int recursive);
// Why the calling thread's last copyDirectory2Flash failed for good: no
// attempt can make that copy (a name the volume cannot store, files larger
// than it, a source that is not files). Empty when it succeeded or when
// another attempt may.
const char* getCopyRefusal();

// Vendor SCSI pass-through (data in). Returns non-zero when the command was
// delivered; *scsiStatus is then 0 (good) or 2 (check condition).
[[nodiscard]] int scsiPassThroughIn(void* diskHandle, const unsigned char cdb[16], unsigned char* buffer,
                      int length, int timeoutSeconds, int* scsiStatus);
