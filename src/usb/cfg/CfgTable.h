// A device's configuration table: the one sector its controller boots from,
// laid out for the controller variant with the flash, LUN and code records,
// the USB descriptors and inquiry data, the build-information page offset
// and, for 6605, the MP3 record. It goes to the controller's RAM or to a
// flash page, and can be rebuilt from a sector read back from a device.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "schema/base/Mutex.h"
#include "schema/base/SystemClock.h"
#include "schema/data/BaseCmdData.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgCode.h"
#include "usb/cfg/CfgFlash.h"
#include "usb/cfg/CfgPartition.h"
#include "usb/cfg/CfgTableLayout.h"
#include "usb/cfg/DescriptorBlocks.h"

namespace Tessor::schema {
class Mp3Config;
}

namespace Tessor::usb {

enum CFG_TABLE_TYPE_T { CFG_TABLE_DEFAULT = 0, CFG_TABLE_DOWNLOADING = 1, CFG_TABLE_DEVICE = 2 };

class CfgTable : public schema::BaseCmdData {
public:
    static constexpr uint32_t kSignature = 0xA55AA55A;
    static constexpr int kChecksumOffset = 8;
    static constexpr int kPasswordChars = 17;
    // Room for the longest image (6726).
    static constexpr int kImageRoom = 513;

    CfgTable(schema::UsbDevice* device, const std::string& name, CFG_TABLE_TYPE_T type);
    // Rebuilt from a sector the device returned ("CfgTable(r)").
    CfgTable(schema::UsbDevice* device, const void* raw);
    // Whether the sector it was rebuilt from could be read: laid out for the
    // station's controller, and with a device, of a flash it can have.
    bool isReadBack() const { return m_readBack; }
    ~CfgTable() override;

    using schema::BaseCmdData::checkSum;

    int myInit() override;
    void debug() override;
    // The image length (512, 513 for 6726), -1 for a chip set without a table.
    int serialize(void* buffer) override;
    void checkSum(unsigned char* buffer) override;
    int reverseSerialize(void* raw) override;
    [[nodiscard]] int update(schema::UsbDevice* device) override;
    // -DeviceCode::CAPACITY_TOO_SMALL when the run settings cannot be laid
    // out as LUNs.
    [[nodiscard]] int finish(schema::UsbDevice* device) override;
    [[nodiscard]] int update4Scan(schema::UsbDevice* device, bool flag);
    int update4HighFormat(schema::UsbDevice* device);
    [[nodiscard]] int writeFlash(schema::UsbDevice* device) override;
    // Compares the sector read back with the image written there.
    [[nodiscard]] int validateFlash(schema::UsbDevice* device) override;

    Sptr<CfgCode> getCodeCtrl() const { return m_code; }
    Sptr<CfgPartition> getPartitionCtrl() const { return m_partition; }
    Sptr<CfgFlash> getFlashCtrl() const { return m_flash; }
    Sptr<BuildInfo> getBuildInfo() const { return m_buildInfo; }
    _CFG_TBL_INFO* getCfgTblInfo() { return &m_cfgTblInfo; }
    CFG_INFO_V31* getCfgInfoV31() { return &m_v31; }
    CFG_INFO_V31* getCfgInfo6605() { return &m_6605; }
    unsigned char getPageOffset4Build() const { return m_pageOffset4Build; }
    // True when the firmware booted from this table reads raw flash
    // addresses in multi-plane blocks (block mode over several planes).
    bool groupsRawAddresses() const;
    int getCodeLength() const;
    int getCapacity() const;
    CFG_TABLE_TYPE_T getType() const { return m_type; }
    void setType(CFG_TABLE_TYPE_T type) { m_type = type; }
    void setCurrentAddressSet(Sptr<AllocatAddress> set) { m_currentAddressSet = set; }
    Sptr<AllocatAddress> getCurrentAddressSet() const { return m_currentAddressSet; }
    // The 6605's external-code index of a table read back; empty otherwise.
    Sptr<schema::BaseAddress> getExternalCodeIndexAddress() const { return m_codeIndexAddress; }
    void setMp3CfgTable(Sptr<schema::Mp3Config> config) { m_mp3 = config; }
    Sptr<schema::Mp3Config> getMp3CfgTable() const { return m_mp3; }
    // Empty for chip set 2 and chip sets outside 1 to 7.
    std::optional<CfgVariant> getVariant() const { return m_variant; }

    // The string forms: the encoders return the characters stored, the
    // decoders bLength; `text` holds the form's characters and a zero.
    static int encodeStringDescritor(__STRING_DESCRIPTOR* form, const char* text);
    static int encodeStringDescritor(_USB_STRING_PRODUCT* form, const char* text);
    static int encodeStringDescritor(_USB_STRING_MANUFACT* form, const char* text);
    static int encodeStringDescritor(_USB_STRING_SERIAL* form, const char* text);
    static int decodeStringDescritor(const __STRING_DESCRIPTOR* form, char* text);
    static int decodeStringDescritor(const _USB_STRING_PRODUCT* form, char* text);
    static int decodeStringDescritor(const _USB_STRING_MANUFACT* form, char* text);
    static int decodeStringDescritor(const _USB_STRING_SERIAL* form, char* text);
    // Hex dump of a table sector (or a version block, which carries one) with
    // the password text left out.
    static void dumpSector(const void* sector, int length, const char* title);
    // A copy of a table sector with the password text zeroed, for what
    // leaves the device: dumps and saved images.
    static std::vector<uint8_t> withoutPassword(const void* sector, int length);
    // The automatic serial number of a clock reading (its serial counter in
    // place of the milliseconds): 16 digits.
    static std::string autoSerialNumber(const schema::SystemClock& clock);

private:
    void loadDescriptorDefaults();
    CFG_INFO_V31* descriptorBlock144();
    // Serialised and checksummed into `image`; its length or -1.
    [[nodiscard]] int sealedImage(std::vector<uint8_t>& image);
    void computePageOffset4Build();
    [[nodiscard]] int writeImage(schema::UsbDevice* device, const std::vector<uint8_t>& image);
    void saveImage(schema::UsbDevice* device, const std::vector<uint8_t>& image);
    int allocateUserDiskAddresses();
    Sptr<schema::BaseAddress> allocateAddress(Sptr<schema::DiskInfo> geometry, int base, int offset);
    // Where the firmware booted from this table reads `page`.
    Sptr<schema::BaseAddress> bootedForm(const Sptr<schema::BaseAddress>& page,
                                         const Sptr<schema::DiskInfo>& geometry) const;
    int startSector() const;
    CodeAllocation codeAllocation(schema::UsbDevice* device) const;

    // Settings of the run (CfgTableSettings.cpp). False when the device's
    // serial number could not be kept for the runs to come.
    [[nodiscard]] bool updateFromConfigData();
    void updateConfigData();
    void setFirmwareVersoin();
    [[nodiscard]] bool takeSerialNumber(const schema::ConfigInfo& settings);
    void takePassword(schema::ConfigInfo& settings);
    void takeInquiry(const schema::ConfigInfo& settings, InquiryData& inquiry);

    CFG_TABLE_TYPE_T m_type;
    std::optional<CfgVariant> m_variant;
    _CFG_TBL_INFO m_cfgTblInfo{};
    CFG_INFO_V31 m_v31{};
    CFG_INFO_V31 m_6605{};
    Sptr<CfgCode> m_code;
    Sptr<CfgPartition> m_partition;
    Sptr<CfgFlash> m_flash;
    Sptr<schema::Mp3Config> m_mp3;
    Sptr<BuildInfo> m_buildInfo;
    unsigned char m_pageOffset4Build = 0;
    Sptr<AllocatAddress> m_currentAddressSet;
    Sptr<schema::BaseAddress> m_codeIndexAddress;
    int m_firstSerial = 1;
    bool m_readBack = false;
    // The image written at each flash position, so a read-back is compared
    // with what was written there and not with a table finished since.
    std::map<int64_t, std::vector<uint8_t>> m_written;
    // The code factory's default table is sent by every device thread at once.
    Tessor::Threads::Mutex m_imageLock;
};

}  // namespace Tessor::usb
