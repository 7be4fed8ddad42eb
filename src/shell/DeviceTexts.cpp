#include "shell/DeviceTexts.h"

#include <cstdarg>
#include <cstdio>
#include <iterator>

#include "schema/device/PartInfo.h"

namespace Tessor::shell {

namespace {

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
    {0x8000, "Open USB Device Failed!"},
    {0x8001, "Access USB Device Failed!"},
    {0x8002, "WRITE E2PROM FAILED!"},
    {0x8003, "READ E2PROM FAILED!"},
    {0x8004, "Download Config Table Failed!"},
    {0x8005, "Download Scan Code Failed!"},
    {0x8006, "Can not detect flash id!"},
    {0x8007, "Can not find chip information!"},
    {0x8008, "Scan faild, please replug usb disk!"},
    {0x8009, "Write Config Table Failed!"},
    {0x800A, "Write Ext Code Failed!"},
    {0x8010, "Can not create special file!"},
    {0x8011, "Write Bad Block Table Failed!"},
    {0x8012, "Initial Sector Failed!"},
    {0x8013, "Create File System Failed!"},
    {0x8014, "Formatting Maybe Failed"},
    {0x8015, "File Copy Failed!"},
    {0x8016, "Download External Code Failed!"},
    {0x8017, "Can not find the special file!"},
    {0x8018, "Can not find the special file!!"},
    {0x8019, "Can not find cdrom iso file!"},
    {0x801A, "Can not support on this version!"},
    {0x8020, "Partition Capacity Is Too Small!"},
    {0x8021, "Bad blocks too much!"},
    {0x8022, "Allocate Memory Failed!"},
    {0x8023, "Not Supported on this version!"},
    {0x8024, "Verify Flash Data Failed!"},
    {0x8025, "Flash Chip Is Defected!"},
    {0x8026, "Create scan bitmatp failed"},
    {0x8027, "Cannot eject usb device"},
    {0x8028, "Prescan failed"},
    {0x8029, "Canceled By User Interface"},
    {0x802A, "Erase Failed"},
    {0x802B, "Error At Write Index Table"},
    {0x802C, "Error At Read Firmware Version"},
    {0x802D, "Error At Lock Volume"},
    {0x802E, "Error At Unlock Volume"},
    {0x802F, "Error At Dismount Volume"},
    {0x8030, "Error At Swap Partition"},
    {0x8031, "No UserSettiong File"},
    {0x803B, "No Config Table Available"},
    {0x803C, "device detected is not compatible with the software configed"},
    {0x8032, "Write blockbitmap failed"},
    {0x8033, "write sectormap failed"},
    {0x8034, "High Format Build CD-ROM failed"},
    {0x8035, "High Format Build MBR failed"},
    {0x8036, "High Format Build DBR failed"},
    {0x8037, "High Format Build FAT failed"},
    {0x8038, "High Format Build ROOT DIR failed"},
    {0x8039, "High Format data validate failed"},
    {0x803A, "Support Firmware version"},
    {0x803D, "kelvo no hidden LUN is found"},
    {0x803E, "kelvo password is invalidate"},
    {0x803F, "DPF Address Allocation Failed"},
    {0x8040, "Write DPF Code To Flash Failed"},
    {0x8041, "Write DPF Data To Flash Failed"},
    {0x8042, "Read flash Id Failed"},
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
