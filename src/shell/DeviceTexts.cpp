#include "shell/DeviceTexts.h"

#include <cstdarg>
#include <cstdio>
#include <iterator>

#include "schema/base/DeviceCode.h"
#include "schema/device/PartInfo.h"

namespace Tessor::shell {

using enum page::UiState;

namespace {

using schema::DeviceCode;

struct ErrorRow {
    int code;
    const char* text;
};

// Searched from the top; the first row with the code wins.
const ErrorRow ERROR_TABLE[] = {
    {0x0, "Error None!"},
    {0x801, "Invalidate Parameter in device layer!"},
    {0x802, "Log Error in device layer!"},
    {0x803, "UsbSystem Not Found!"},
    {0x804, "Error in Usb Bus Enum!"},
    {0x805, "shared_malloc() return NULL in device layer!"},
    {0x806, "Poll thread initialization failed!"},
    {0x807, "Device count exceeded the max device number!"},
    {0x808, "Udisk without volume!"},
    {0x809, "Open Udisk failed!"},
    {0x80A, "Get Device Number failed!"},
    {0x80B, "Get Logical Drivers failed!"},
    {0x80C, "SetupDiGetClassDevs() failed!"},
    {0x80D, "SetupDiEnumDeviceInterfaces() failed!"},
    {0x80E, "SetupDiGetDeviceInterfaceDetail() failed!"},
    {0x80F, "Open volume failed!"},
    {0x810, "Lock volume failed!"},
    {0x811, "Standard Inquery CMD failed!"},
    {0x812, "Read Udisk Information CMD failed!"},
    {0x1000, "Cannot Find the Config File!"},
    {0x1002, "Error in Scan Code!"},
    {0x1001, "Error in External Code!"},
    {0x1003, "Error in DPF Code!"},
    {0x1004, "Error in Scan Sample File!"},
    {DeviceCode::OPEN_FAILED, "Open USB Device Failed!"},
    {DeviceCode::ACCESS_FAILED, "Access USB Device Failed!"},
    {DeviceCode::EEPROM_WRITE_FAILED, "WRITE E2PROM FAILED!"},
    {DeviceCode::EEPROM_READ_FAILED, "READ E2PROM FAILED!"},
    {DeviceCode::CFG_TABLE_DOWNLOAD_FAILED, "Download Config Table Failed!"},
    {DeviceCode::SCAN_CODE_DOWNLOAD_FAILED, "Download Scan Code Failed!"},
    {DeviceCode::NO_FLASH_ID, "Can not detect flash id!"},
    {DeviceCode::NO_FLASH_INFO, "Can not find chip information!"},
    {DeviceCode::SCAN_FAILED, "Scan faild, please replug usb disk!"},
    {DeviceCode::CFG_TABLE_WRITE_FAILED, "Write Config Table Failed!"},
    {DeviceCode::EXTERNAL_CODE_WRITE_FAILED, "Write Ext Code Failed!"},
    {DeviceCode::SPECIAL_FILE_CREATE_FAILED, "Can not create special file!"},
    {DeviceCode::BAD_BLOCK_TABLE_WRITE_FAILED, "Write Bad Block Table Failed!"},
    {DeviceCode::SECTOR_INIT_FAILED, "Initial Sector Failed!"},
    {DeviceCode::FILE_SYSTEM_FAILED, "Create File System Failed!"},
    {DeviceCode::FORMAT_UNCERTAIN, "Formatting Maybe Failed"},
    {DeviceCode::FILE_COPY_FAILED, "File Copy Failed!"},
    {DeviceCode::EXTERNAL_CODE_DOWNLOAD_FAILED, "Download External Code Failed!"},
    {DeviceCode::SPECIAL_FILE_MISSING, "Can not find the special file!"},
    {DeviceCode::SECOND_SPECIAL_FILE_MISSING, "Can not find the special file!!"},
    {DeviceCode::NO_CDROM_IMAGE, "Can not find cdrom iso file!"},
    {DeviceCode::NOT_ON_THIS_VERSION, "Can not support on this version!"},
    {DeviceCode::CAPACITY_TOO_SMALL, "Partition Capacity Is Too Small!"},
    {DeviceCode::TOO_MANY_BAD_BLOCKS, "Bad blocks too much!"},
    {DeviceCode::OUT_OF_MEMORY, "Allocate Memory Failed!"},
    {DeviceCode::NOT_SUPPORTED, "Not Supported on this version!"},
    {DeviceCode::VERIFY_FAILED, "Verify Flash Data Failed!"},
    {DeviceCode::FLASH_DEFECTIVE, "Flash Chip Is Defected!"},
    {DeviceCode::SCAN_BITMAP_FAILED, "Create scan bitmatp failed"},
    {DeviceCode::EJECT_FAILED, "Cannot eject usb device"},
    {DeviceCode::PRESCAN_FAILED, "Prescan failed"},
    {DeviceCode::CANCELLED, "Canceled By User Interface"},
    {DeviceCode::ERASE_FAILED, "Erase Failed"},
    {DeviceCode::INDEX_TABLE_FAILED, "Error At Write Index Table"},
    {DeviceCode::READ_VERSION_FAILED, "Error At Read Firmware Version"},
    {DeviceCode::LOCK_VOLUME_FAILED, "Error At Lock Volume"},
    {DeviceCode::UNLOCK_VOLUME_FAILED, "Error At Unlock Volume"},
    {DeviceCode::VOLUME_CONTROL_FAILED, "Error At Dismount Volume"},
    {DeviceCode::PARTITION_SWITCH_FAILED, "Error At Swap Partition"},
    {DeviceCode::NO_USER_SETTING_FILE, "No UserSettiong File"},
    {DeviceCode::NO_CFG_TABLE, "No Config Table Available"},
    {DeviceCode::WRONG_CONTROLLER, "device detected is not compatible with the software configed"},
    {DeviceCode::BITMAP_SAVE_FAILED, "Write blockbitmap failed"},
    {DeviceCode::SECTOR_MAP_WRITE_FAILED, "write sectormap failed"},
    {DeviceCode::CDROM_BUILD_FAILED, "High Format Build CD-ROM failed"},
    {DeviceCode::MBR_BUILD_FAILED, "High Format Build MBR failed"},
    {DeviceCode::DBR_BUILD_FAILED, "High Format Build DBR failed"},
    {DeviceCode::FAT_BUILD_FAILED, "High Format Build FAT failed"},
    {DeviceCode::ROOT_DIR_BUILD_FAILED, "High Format Build ROOT DIR failed"},
    {DeviceCode::FORMAT_CHECK_FAILED, "High Format data validate failed"},
    {DeviceCode::UNSUPPORTED_FIRMWARE, "Support Firmware version"},
    {DeviceCode::NO_HIDDEN_LUN, "kelvo no hidden LUN is found"},
    {DeviceCode::WRONG_PASSWORD, "kelvo password is invalidate"},
    {DeviceCode::DPF_ADDRESS_FAILED, "DPF Address Allocation Failed"},
    {DeviceCode::DPF_CODE_WRITE_FAILED, "Write DPF Code To Flash Failed"},
    {DeviceCode::DPF_DATA_WRITE_FAILED, "Write DPF Data To Flash Failed"},
    {DeviceCode::FLASH_ID_READ_FAILED, "Read flash Id Failed"},
};
static_assert(std::size(ERROR_TABLE) == 81);

constexpr int SECTORS_PER_MB = 2048;
// A configured capacity this small means none was configured.
constexpr int NO_CONFIGURED_CAPACITY = 16;

}  // namespace

std::string englishText(const char* key) { return key; }

std::string formatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

const char* deviceErrorText(int code)
{
    for (const ErrorRow& row : ERROR_TABLE) {
        if (row.code == code) {
            return row.text;
        }
    }
    return nullptr;
}

ButtonView buttonView(int state, bool hasDevice, const std::string& name, int index, const TextLookup& look)
{
    ButtonView view{look("NoDisk"), false};
    if (!hasDevice) {
        return view;
    }
    const std::string prefix = name + ": ";
    switch (state) {
    case UI_FOUND:
    case UI_UNPLUGGED:
        view.text = std::to_string(index + 1);
        break;
    case UI_READY:
        view = {prefix + look("Start"), true};
        break;
    case UI_PRODUCING:
        view = {prefix + look("Cancel"), true};
        break;
    case UI_STOPPED:
    case UI_FAILED:
    case UI_BUILT:
        view = {prefix + look("Eject"), true};
        break;
    case UI_EJECTING:
        view = {prefix + look("Waiting"), false};
        break;
    default:
        break;
    }
    return view;
}

std::string newDeviceLine(const std::string& name, int index, const TextLookup& look)
{
    return formatText("%s '%s' %s(%d)", look("Find new USB device of").c_str(), name.c_str(),
                      look("on channel").c_str(), index + 1);
}

std::string readyLine(const std::string& name, const std::string& flashId, bool formatted, const std::string& capacity,
                      const TextLookup& look)
{
    return formatText("'%s' ID=%s %s%s,%s", name.c_str(), flashId.c_str(),
                      look(formatted ? "has been formatted" : "do not format").c_str(), capacity.c_str(),
                      look("modify configuration or click to begin the product process!").c_str());
}

std::string statusLine(int code, const TextLookup& look, const std::string& cause)
{
    const char* text = deviceErrorText(code);
    return formatText("%s:%s(0x%x)%s%s,%s", look("Some errors found").c_str(),
                      look(text != nullptr ? text : "Error Unknown!").c_str(), static_cast<unsigned>(code),
                      cause.empty() ? "" : " ", cause.c_str(),
                      look("Please eject this device and remount it later!").c_str());
}

std::string cancelledLine(const TextLookup& look)
{
    return look("Producting process have been canceled, click left button to re-begin or right button to eject it!");
}

std::string buildOkLine(int realSectors, int configuredSectors, uint32_t elapsedMs, int scanMode,
                        const TextLookup& look)
{
    const std::string built = look("UDisk have build OK!");
    const std::string capacity = look("Capacity");
    const std::string time = look("Time-Consume");
    const std::string mode = look("Scan mode");
    const std::string remount = look("Please remount it!");
    const unsigned seconds = elapsedMs / 1000;
    if (configuredSectors <= NO_CONFIGURED_CAPACITY) {
        return formatText("%s%s=%d(MB),%s=%d(s),%s=%0x,%s", built.c_str(), capacity.c_str(),
                          realSectors / SECTORS_PER_MB, time.c_str(), seconds, mode.c_str(),
                          static_cast<unsigned>(scanMode), remount.c_str());
    }
    return formatText("%s%s=%d(MB)^%d(MB),%s=%d(s),%s=%0x,%s", built.c_str(), capacity.c_str(),
                      realSectors / SECTORS_PER_MB, configuredSectors / SECTORS_PER_MB, time.c_str(), seconds,
                      mode.c_str(), static_cast<unsigned>(scanMode), remount.c_str());
}

std::string partitionText(schema::ConfigInfo& settings, int totalMb, const TextLookup& look)
{
    static const char* const TYPE_NAMES[] = {"Removable Disk", "Local Disk", "CD-ROM"};
    std::string text;
    int remaining = totalMb;
    for (int i = 0; i < 3; ++i) {
        Sptr<schema::PartInfo> part = settings.getPartInfo(i);
        if (!part || part->getCapacity() == 0) {
            break;
        }
        const int type = part->getDiskType();
        if (type >= 0 && type < 3) {
            text += look(TYPE_NAMES[type]);
        }
        const int size = static_cast<int>(part->getCapacity() >> 11);
        int shown = size;
        if (remaining < size) {
            shown = remaining;
            remaining = 0;
        } else if (i == settings.getPartCount() - 1) {
            shown = remaining;
        } else {
            remaining -= size;
        }
        text += formatText("(%dMB) ", shown);
    }
    return text;
}

}  // namespace Tessor::shell
