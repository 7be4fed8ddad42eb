#include "usb/profile/ProfileFlash.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/ini/Ini.h"
#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/Orrin.h"
#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "usb/profile/FlashProfileFields.h"

namespace Tessor::usb {

using Tessor::schema::ConfigInfo;
using Tessor::schema::cpLogForced;

namespace {

const unsigned PROBE_DELAY_MS = 25;
const int MAX_CHIPS = 4;

int32_t roundUpToPowerOfTwo(int32_t value)
{
    int32_t power = 1;
    while (power < value && power < (1 << 30)) {
        power <<= 1;
    }
    return power;
}

const char* yesNo(bool value)
{
    return value ? "YES" : "NO";
}

}  // namespace

ProfileFlash::ProfileFlash() : BaseProfile("ProfileFlash"), m_flashInfo(new FlashInfo())
{
    reset();
}

void ProfileFlash::reset()
{
    m_chips = 0;
    m_dualChannel = false;
    m_dualDie = false;
    memset(m_ids, 0, sizeof m_ids);
    m_flashInfo = Sptr<FlashInfo>(new FlashInfo());
}

int ProfileFlash::readOneChip(FlashIdReader* device, FLASH_TYPES kind)
{
    CPLOG(7, "chipNo of FlashId : %d", m_chips);
    const unsigned char* answer = device->readFlashId(m_chips, kind);
    if (!answer) {
        CPLOG(3, "Read Flash ID Command failed on disk %s", device->getReaderName());
        return -1;
    }
    if (answer[0] == 0xFF || (answer[2] == 0xFF && answer[3] == 0xFF)) {
        return 1;
    }
    unsigned char* id = m_ids[m_chips];
    if (kind == FLASH_TYPE_PLAIN) {
        memcpy(id, answer, 4);
        m_dualChannel = false;
    } else {
        for (int i = 0; i < 4; ++i) {
            id[i] = answer[2 * i];
        }
        if (answer[0] == answer[1] && answer[1] != 0xFF && answer[2] == answer[3] && answer[4] == answer[5]) {
            m_dualChannel = true;
        }
    }
    Tessor::schema::SystemInfo::debugBuffer(id, 4, "Read Flash ID");
    return 0;
}

int ProfileFlash::probeChips(FlashIdReader* device)
{
    while (m_chips < MAX_CHIPS) {
        int result = readOneChip(device, FLASH_TYPE_INTERLEAVED);
        shared_delay(PROBE_DELAY_MS);
        if (result != 0) {
            result = readOneChip(device, FLASH_TYPE_INTERLEAVED);
            if (result == -1) {
                return -1;
            }
            if (result == 1) {
                break;
            }
        }
        if (++m_chips == MAX_CHIPS) {
            break;
        }
        shared_delay(PROBE_DELAY_MS);
    }
    return 0;
}

// The section of the forced model names the flash; its hex part, without
// the chip-count suffix, gives chip 0's id bytes.
int ProfileFlash::takeForcedModel()
{
    std::string model = ConfigInfo::getFlashModel();
    std::string section;
    if (!findModelSection(model, section)) {
        return -1;
    }
    m_chips = ConfigInfo::getChipsPerDisk();
    m_dualChannel = ConfigInfo::checkDualChannel();
    std::string hex = section;
    const char* suffix = m_chips == 2 ? "DD" : m_chips == 4 ? "QD" : nullptr;
    if (suffix && hex.size() > 2 && strcasecmp(hex.c_str() + hex.size() - 2, suffix) == 0) {
        hex.resize(hex.size() - 2);
    }
    int value = 0;
    if (hex.size() > 8 || !StrToIntExA(("0x" + hex).c_str(), 1, &value)) {
        cpLogForced(0, __FILE__, __LINE__, "Flash ID '%s' of flash model '%s' is not a hexadecimal id",
                    section.c_str(), model.c_str());
        return -1;
    }
    for (int i = 0; i < 4; ++i) {
        m_ids[0][i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (24 - 8 * i));
    }
    m_sectionName = section;
    return 0;
}

uint32_t ProfileFlash::chipZeroId() const
{
    return fieldAt<Le32>(m_ids[0]);
}

int ProfileFlash::parseFlashId(FlashIdReader* device)
{
    reset();
    m_fileName = Tessor::schema::UsbConfiguration::instance()->getFlashFileName();
    bool forced = !ConfigInfo::getFlashModel().empty();
    int result = forced ? takeForcedModel() : probeChips(device);
    if (result != 0) {
        return -1;
    }
    m_dualDie = (m_ids[0][0] != 0 && m_ids[1][0] != 0 && m_ids[0][2] == m_ids[1][2]) ||
                (m_dualChannel && m_chips > 2);
    if (m_chips <= 0) {
        CPLOG(4, "No Flash ID is read out from this Chipset of %s", device->getReaderName());
        return -1;
    }
    uint32_t value = chipZeroId();
    if (!forced) {
        char text[128] = {};
        hexInt2String(text, value);
        std::string id = text[0] == '0' ? text + 1 : text;
        id += m_chips == 2 ? "DD" : m_chips == 4 ? "QD" : "";
        m_sectionName = id;
    }
    CPLOG(7, "FlashID string is '%s' (ID is '%x')", m_sectionName.c_str(), value);
    CPLOG(7, "%s Flash Info : ChipsPerDisk : %d;\tID : %x;\tisDualChannel : %s; \tisDualDie : %s",
          device->getReaderName(), m_chips, value, yesNo(m_dualChannel), yesNo(m_dualDie));
    if (readPart(device->getReaderName()) != 0) {
        return -1;
    }
    m_flashInfo->getChipInfo()->ID = static_cast<int32_t>(__builtin_bswap32(value));
    m_flashInfo->setChipsPerDisk(m_chips);
    m_flashInfo->setDualChannel(m_dualChannel);
    m_flashInfo->setDualDie(m_dualDie);
    return 0;
}

int ProfileFlash::setFlashId(FlashIdReader* device)
{
    reset();
    m_fileName = Tessor::schema::UsbConfiguration::instance()->getFlashFileName();
    std::string model = ConfigInfo::getFlashModel();
    std::string section;
    if (!findModelSection(model, section)) {
        return -1;
    }
    m_sectionName = section;
    if (readPart(device->getReaderName()) != 0) {
        return -1;
    }
    m_flashInfo->setChipsPerDisk(ConfigInfo::getChipsPerDisk());
    m_flashInfo->setDualChannel(ConfigInfo::checkDualChannel());
    m_flashInfo->setDualDie(m_flashInfo->getChipInfo()->DualDie != 0);
    return 0;
}

int ProfileFlash::readPart(const char* deviceName)
{
    _FLASH_CHIP_INFO* part = m_flashInfo->getChipInfo();
    memset(part, 0, sizeof *part);
    m_flashInfo->setFlashId(m_sectionName);
    CPLOG(7, "parsing %s field on %s file", m_sectionName.c_str(), m_fileName.c_str());
    // Decode fails only on a bad key table.
    (void)decode(m_fileName, m_sectionName, part, &FlashProfileFields);
    if (strncmp(part->PartNumber, "NONE", 4) == 0) {
        cpLogForced(0, __FILE__, __LINE__,
                    "No Part Number can be found with Flash ID of '%s', please check your device carefully!",
                    m_sectionName.c_str());
        return -1;
    }
    if (strncmp(part->PartNumber, "(TLC)", 5) == 0) {
        part->TLC = 1;
        part->RealBlockPerChip = part->BlockPerChip;
        part->RealPagePerBlock = part->PagePerBlock;
        part->BlockPerChip = roundUpToPowerOfTwo(part->BlockPerChip);
        part->PagePerBlock = roundUpToPowerOfTwo(part->PagePerBlock);
    }
    // Every later step divides by the geometry.
    if (part->BlockPerChip <= 0 || part->PagePerBlock <= 0 || part->SectorPerPage <= 0) {
        cpLogForced(0, __FILE__, __LINE__,
                    "Flash part '%s' of %s has no geometry (blocks %d, pages %d, sectors %d)", part->PartNumber,
                    deviceName, part->BlockPerChip, part->PagePerBlock, part->SectorPerPage);
        return -1;
    }
    // The disk's sector count is a 32-bit number everywhere after this; each
    // step's product stays below 2^62.
    int64_t sectors = MAX_CHIPS;
    for (int32_t factor : {part->BlockPerChip, part->PagePerBlock, part->SectorPerPage}) {
        sectors = sectors <= INT32_MAX ? sectors * factor : sectors;
    }
    if (sectors > INT32_MAX) {
        cpLogForced(0, __FILE__, __LINE__,
                    "Flash part '%s' of %s is too large (blocks %d, pages %d, sectors %d): %d chips would hold "
                    "more than %d sectors",
                    part->PartNumber, deviceName, part->BlockPerChip, part->PagePerBlock, part->SectorPerPage,
                    MAX_CHIPS, INT32_MAX);
        return -1;
    }
    CPLOG(7, "\tPartNumber :\t%s", part->PartNumber);
    CPLOG(7, "\tBlocksPerChip :\t%d", part->BlockPerChip);
    CPLOG(7, "\tPagesPerBlock :\t%d", part->PagePerBlock);
    CPLOG(7, "\tSectorsPerPage :\t%d", part->SectorPerPage);
    return 0;
}

bool ProfileFlash::findModelSection(const std::string& model, std::string& section)
{
    if (getFlashIdByModel(model, section, m_fileName)) {
        return true;
    }
    cpLogForced(0, __FILE__, __LINE__, "No Flash ID can be found for flash model '%s' in %s", model.c_str(),
                m_fileName.c_str());
    return false;
}

bool ProfileFlash::getFlashIdByModel(const std::string& model, std::string& idString, const std::string& file)
{
    for (const std::string& section : readSectionNames(file)) {
        char partNumber[STRING_FIELD] = {};
        GetPrivateProfileStringA(section.c_str(), "PartNumber", "", partNumber, sizeof partNumber, file.c_str());
        // A section the editor left without a part number hides nothing after it.
        if (partNumber[0] != '\0' && model == partNumber) {
            idString = section;
            return true;
        }
    }
    return false;
}

}  // namespace Tessor::usb
