#include "usb/profile/ProfileUser.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/ini/Ini.h"

#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "platform/orrin/CodePage.h"
#include "schema/device/VolumeLabel.h"
#include "usb/profile/uniSerialNO.h"

namespace Tessor::usb {

using Tessor::schema::ConfigInfo;
using Tessor::schema::DeviceCode;
using Tessor::schema::PartInfo;
using Tessor::schema::ScanConfig;
using Tessor::schema::VolumeLabel;

ProfileUser::ProfileUser(const std::string& section)
    : BaseProfile(section), m_configInfo(new ConfigInfo())
{
    memset(&m_record, 0, sizeof m_record);
    m_fileName = Tessor::schema::UsbConfiguration::instance()->getUserFileName();
    // Decode fails only on a bad key table.
    (void)decode(m_fileName, m_sectionName, &m_record, &UserProfileFields);
    buildConfigInfo();
}

void ProfileUser::buildConfigInfo()
{
    ConfigInfo& info = *m_configInfo;
    info.setPassword(m_record.password);
    info.setProductCode(m_record.productCode);
    info.setProductString(m_record.productString);
    info.setVendorCode(m_record.vendorCode);
    info.setVendorString(m_record.vendorString);
    info.setSnMode(m_record.snGenMode);
    info.setSerialNoLabel(m_record.serialNoLabel);
    uint32_t packed = static_cast<uint32_t>(m_record.serialNumber);
    info.setSerialNoStart(packed);
    Tessor::schema::uniSerialNO::instance(Tessor::schema::unpackSerialNumber(packed))->keepIn(m_fileName, m_sectionName);
    CPLOG(7, "SerialNo : %u(%u)", info.getSerialNoStart(), packed);

    Sptr<ScanConfig> scan = info.getScanConfig();
    scan->setScanLevel(m_record.scanLevel);
    scan->setScanPriority(m_record.scanPriority);
    scan->setScanTimes(m_record.scanTimes);
    scan->setAutoMode(m_record.autoScanMode);
    scan->setScanMode(m_record.scanMode);
    scan->setScanSpeed(m_record.speed);
    scan->setEccStatus(m_record.eccStatus != 0);
    scan->setEccBytes(m_record.eccBytes);

    info.setLedStatus(m_record.ledStatus);
    info.setLedFreq(m_record.ledFreq);
    info.setUserIsBind(m_record.isBind);
    info.setAutopStart(m_record.autoStart != 0);
    info.setBlockMode(m_record.blockMode != 0);
    info.setCapacityPolicy(m_record.capacityPolicy);
    info.setRealCapacity(m_record.realCapacity);
    info.setConfigCapacity(m_record.configCapacity);

    for (int n = 0; n < 3; ++n) {
        // 0 asks for no partition; below it is a typing slip that would
        // quietly drop one, and so is a number too large to be read.
        bool fits = true;
        const std::string given = givenCapacity(n, fits);
        if (m_record.ptnCapacity[n] < 0 || !fits) {
            refuse(info, "PtnCapacity", n, given, "is not a partition size", DeviceCode::CAPACITY_TOO_SMALL);
            continue;
        }
        if (m_record.ptnCapacity[n] <= 0) {
            continue;
        }
        // Whether a unit holds its file system is known once the sizes are
        // fitted to the device: the fit replaces some of them.
        if (m_record.ptnType[n] < Tessor::schema::DISK_REMOVABLE || m_record.ptnType[n] > Tessor::schema::DISK_CDROM) {
            refuse(info, "PtnType", n, std::to_string(m_record.ptnType[n]),
                   "is not a disk type (0 removable, 1 local, 2 CD-ROM)", DeviceCode::CAPACITY_TOO_SMALL);
        }
        Sptr<PartInfo> part(new PartInfo(m_record.ptnCapacity[n]));
        part->setDiskType(m_record.ptnType[n]);
        part->setIsEncrypted(m_record.ptnEncrypt[n] != 0);
        part->setCapacity(static_cast<uint32_t>(m_record.ptnCapacity[n]));
        part->setCopyPath(m_record.copyPath[n]);
        part->setVolumeLabel(m_record.volumeLabel[n]);
        part->setWriteProtected(m_record.ptnWrProtect[n] != 0);
        if (n == 0) {
            part->setBootType(m_record.bootType);
            part->setHide(m_record.ptnHid0 != 0);
        }
        if (const VolumeLabel label(part->getVolumeLabel()); !label.refusal().empty()) {
            refuse(info, "VolumeLabel", n, part->getVolumeLabel(), label.refusal(), DeviceCode::FILE_SYSTEM_FAILED);
        }
        // Read in GBK as the label is: bytes that are no GBK text (a profile
        // saved in another encoding) would otherwise reach the host as they
        // stand.
        if (std::string readable; !Tessor::CodePage::toUtf8(part->getCopyPath(), &readable)) {
            refuse(info, "CopyPath", n, part->getCopyPath(), "is not a text of the code page (GBK)",
                   DeviceCode::FILE_COPY_FAILED);
        }
        info.addPartInfo(part);
    }
}

std::string ProfileUser::givenCapacity(int n, bool& fits) const
{
    // A report shows this much of a value; a longer one is no size at all.
    constexpr unsigned SHOWN = 32;
    char text[SHOWN + 2] = {};
    const std::string key = "PtnCapacity" + std::to_string(n);
    const unsigned count =
        GetPrivateProfileStringA(m_sectionName.c_str(), key.c_str(), "", text, sizeof text, m_fileName.c_str());
    if (count > SHOWN) {
        fits = false;
        return std::string(text, SHOWN) + "...";
    }
    // Read as the profile reader reads it: blanks, a sign, decimal or "0x"
    // hex digits up to the first other character.
    const char* p = text + strspn(text, " \t");
    p += *p == '+' || *p == '-';
    const bool hex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && isxdigit(static_cast<unsigned char>(p[2]));
    uint64_t magnitude = 0;
    const std::from_chars_result read = std::from_chars(p + (hex ? 2 : 0), text + count, magnitude, hex ? 16 : 10);
    fits = read.ec == std::errc::invalid_argument || (read.ec == std::errc() && magnitude <= INT32_MAX);
    return text;
}

void ProfileUser::refuse(ConfigInfo& info, const char* key, int partition, const std::string& value,
                         const std::string& why, int code) const
{
    info.refuse(m_fileName + ": " + key + std::to_string(partition) + "=" + value + " " + why, code);
}

int ProfileUser::setConfigInfo(const Sptr<ConfigInfo>& info)
{
    copyText(m_record.password, sizeof m_record.password, info->getPassword());
    copyText(m_record.productString, sizeof m_record.productString, info->getProductString());
    copyText(m_record.vendorString, sizeof m_record.vendorString, info->getVendorString());
    copyText(m_record.serialNoLabel, sizeof m_record.serialNoLabel, info->getSerialNoLabel());
    m_record.productCode = info->getProductCode();
    m_record.vendorCode = info->getVendorCode();
    m_record.snGenMode = info->getSnMode();
    m_record.serialNumber = static_cast<int32_t>(info->getSerialNoStart());

    m_record.autoStart = info->checkAutoStart() ? 1 : 0;
    m_record.blockMode = info->checkBlockMode() ? 1 : 0;
    m_record.capacityPolicy = info->getCapacityPolicy();
    m_record.realCapacity = info->getRealCapacity();
    m_record.configCapacity = info->getConfigCapacity();
    m_record.ledStatus = info->getLedStatus();
    m_record.ledFreq = info->getLedFreq();
    m_record.isBind = info->getUserIsBind();

    Sptr<ScanConfig> scan = info->getScanConfig();
    m_record.scanLevel = scan->getScanLevel();
    m_record.scanPriority = scan->getScanPriority();
    m_record.scanTimes = scan->getScanTimes();
    m_record.autoScanMode = scan->getAutoMode();
    m_record.scanMode = scan->getScanMode();
    m_record.speed = scan->getScanSpeed();
    m_record.eccStatus = scan->getEccStatus() ? 1 : 0;
    m_record.eccBytes = scan->getEccBytes();

    for (int i = 0; i < 3; ++i) {
        Sptr<PartInfo> part = info->getPartInfo(i);
        if (!part) {
            part = Sptr<PartInfo>(new PartInfo(0));
        }
        m_record.ptnType[i] = part->getDiskType();
        m_record.ptnEncrypt[i] = part->getIsEncrypted() ? 1 : 0;
        m_record.ptnWrProtect[i] = part->getWriteProtected() ? 1 : 0;
        m_record.ptnCapacity[i] = static_cast<int32_t>(part->getCapacity());
        copyText(m_record.copyPath[i], sizeof m_record.copyPath[i], part->getCopyPath());
        copyText(m_record.volumeLabel[i], sizeof m_record.volumeLabel[i], part->getVolumeLabel());
        if (i == 0) {
            m_record.bootType = part->getBootType();
            m_record.ptnHid0 = part->getHide() ? 1 : 0;
        }
    }
    if (info->getSnMode() != Tessor::schema::SN_MODE_INCREMENT) {
        return encode(m_fileName, m_sectionName, &m_record, &UserProfileFields);
    }
    // The counting start is the counter's next number, stored while no device
    // can take one: a number handed out meanwhile is never written back.
    const bool saved = Tessor::schema::uniSerialNO::instance()->keepWith([&](uint32_t next) {
        m_record.serialNumber = static_cast<int32_t>(Tessor::schema::packSerialNumber(next));
        return encode(m_fileName, m_sectionName, &m_record, &UserProfileFields) == 0;
    });
    return saved ? 0 : -1;
}

}  // namespace Tessor::usb
