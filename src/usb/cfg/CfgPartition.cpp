#include "usb/cfg/CfgPartition.h"

#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/LunTableLayout.h"

namespace Tessor::usb {

using schema::PartInfo;
using schema::SystemInfo;

namespace {

constexpr int kMinLuns = 4;
constexpr uint32_t kDummyReserveSmall = 2048;
constexpr uint32_t kDummyReserveLarge = 49152;
constexpr int kSmallFlashSectors = 65536;

int32_t lunDiskType(int partDiskType)
{
    switch (partDiskType) {
    case schema::DISK_LOCAL: return 0x00;
    case schema::DISK_CDROM: return 0x85;
    default: return 0x80;
    }
}

}  // namespace

CfgPartition::CfgPartition(CfgTable* table, const std::string& name, CfgVariant variant)
    : CfgDataItem(table, name), m_variant(variant)
{
    init();
}

CfgPartition::~CfgPartition() = default;

int CfgPartition::init()
{
    LunCount = 0;
    m_udisk.totalCapacity = 0;
    m_udisk.highFormatPending = 0;
    clearData();
    padToFourLuns();
    getLunInfo(0)->fields().Capacity = kFirstLunSectors;
    m_udisk.udiskReserved = 0;
    return getDevice() != nullptr ? update(getDevice()) : 0;
}

void CfgPartition::padToFourLuns()
{
    while (getCount() < kMinLuns) {
        addData(Sptr<BaseData>(new LunInfo()));
    }
}

Sptr<LunInfo> CfgPartition::getLunInfo(int i)
{
    Sptr<BaseData> child = getData(i);
    if (!child) {
        return Sptr<LunInfo>();
    }
    Sptr<LunInfo> lun = child;
    TESSOR_ASSERT(lun);
    return lun;
}

std::vector<LunFields*> CfgPartition::lunFields()
{
    std::vector<LunFields*> out;
    for (const Sptr<BaseData>& child : m_children) {
        Sptr<LunInfo> lun = child;
        TESSOR_ASSERT(lun);
        out.push_back(&lun->fields());
    }
    return out;
}

int CfgPartition::serialize(void* place)
{
    const std::vector<LunFields*> luns = lunFields();
    return LunTableLayout::write(m_variant, std::vector<const LunFields*>(luns.begin(), luns.end()), m_udisk,
                                 place);
}

int CfgPartition::reverseSerialize(void* place)
{
    return LunTableLayout::read(m_variant, lunFields(), m_udisk, place);
}

int CfgPartition::finish(schema::UsbDevice* device)
{
    TESSOR_ASSERT(device != nullptr);
    Sptr<schema::ConfigInfo> settings = device->getConfigInfo();
    TESSOR_ASSERT(settings);
    schema::UsbConfiguration* configuration = schema::UsbConfiguration::instance();
    TESSOR_ASSERT(configuration != nullptr);
    return finish(*settings, configuration->getLoginIsoFile());
}

int CfgPartition::finish(schema::ConfigInfo& settings, const std::string& loginIsoFile)
{
    clearData();
    LunCount = 0;
    m_udisk.totalCapacity = 0;
    m_udisk.highFormatPending = 0;
    m_refusal.clear();

    const int64_t real = settings.getRealCapacity();
    const int64_t configured = settings.getConfigCapacity();
    const bool dummyMode = m_variant != CfgVariant::V6706 && configured > real;
    const uint32_t reserve = real < kSmallFlashSectors ? kDummyReserveSmall : kDummyReserveLarge;
    bool encrypted = false;
    uint64_t merged = 0;
    int result = 0;

    const int parts = settings.getPartCount();
    for (int i = 0; i < parts && result == 0; ++i) {
        Sptr<PartInfo> part = settings.getPartInfo(i);
        TESSOR_ASSERT(part);
        const uint32_t capacity = static_cast<uint32_t>(part->getCapacity());
        const bool fits = static_cast<int64_t>(capacity) <= real - m_udisk.totalCapacity;
        if (i == 0 && part->getIsEncrypted()) {
            CPLOG(7, "Add encrypted LUN");
            result = addEncryptedLun(i, part, loginIsoFile);
            encrypted = true;
        } else if (encrypted) {
            if (fits) {
                CPLOG(7, "Add normal LUN");
                result = addNormalLun(i, part, capacity, false, true);
            } else {
                // Kept inside the hidden LUN of the encrypted partition.
                merged += capacity;
            }
        } else if (!fits && dummyMode) {
            result = addDummyEnding(i, part, static_cast<uint32_t>(configured), reserve,
                                    static_cast<uint32_t>(real));
            break;
        } else if (!fits) {
            // Outside dummy mode a LUN past the flash would lose what is written there.
            result = refuse(i, "reaches past the flash");
        } else {
            CPLOG(7, "Add normal LUN");
            result = addNormalLun(i, part, capacity, false, true);
        }
    }

    if (result == 0 && encrypted) {
        Sptr<PartInfo> first = settings.getPartInfo(0);
        const uint64_t hiddenCapacity = first->getCapacity() + merged;
        if (hiddenCapacity > UINT32_MAX) {
            result = refuse(0, "is too large");
        } else if (!dummyMode) {
            CPLOG(7, "Add hidden LUN");
            const int64_t end = int64_t(m_udisk.totalCapacity) + int64_t(hiddenCapacity) - kLoginSectors;
            result = end > real ? refuse(0, "reaches past the flash")
                                : addNormalLun(0, first, static_cast<uint32_t>(hiddenCapacity), true, true);
        } else {
            CPLOG(7, "Add dummy hidden LUN");
            result = addDummyLun(0, first, static_cast<uint32_t>(hiddenCapacity), true);
            if (result == 0) {
                m_udisk.CapDummy = static_cast<uint32_t>(real) - reserve;
                result = addNormalLun(0, first, reserve, true, false);
            }
        }
    }

    padToFourLuns();
    m_udisk.udiskReserved = 0;
    return result;
}

int CfgPartition::addDummyEnding(int index, Sptr<PartInfo> part, uint32_t configCapacity,
                                 uint32_t reserve, uint32_t realCapacity)
{
    CPLOG(7, "Add dummy LUN");
    int result = addDummyLun(index, part, configCapacity - m_udisk.totalCapacity, false);
    if (result != 0) {
        return result;
    }
    CPLOG(7, "Add normal LUN with real capacity");
    m_udisk.CapDummy = realCapacity - reserve;
    return addNormalLun(index, part, reserve + kLoginSectors, true, false);
}

int CfgPartition::refuse(int index, const std::string& why)
{
    m_refusal = "partition " + std::to_string(index) + " " + why;
    CPLOG(3, "%s: %s, settings refused (0x%X)", getName(), m_refusal.c_str(), schema::DeviceCode::CAPACITY_TOO_SMALL);
    return -schema::DeviceCode::CAPACITY_TOO_SMALL;
}

int CfgPartition::appendLun(int index, Sptr<LunInfo> lun)
{
    if (getCount() >= LunTableLayout::kSlots) {
        return refuse(index, "needs a fifth LUN");
    }
    addData(Sptr<BaseData>(lun));
    return 0;
}

int CfgPartition::addEncryptedLun(int index, Sptr<PartInfo> part, const std::string& loginIsoFile)
{
    Sptr<PartInfo> copy(new PartInfo(part));
    Sptr<LunInfo> lun(new LunInfo());
    LunFields& f = lun->fields();
    f.WriteProtect = 1;
    f.DiskType = part->getDiskType() == schema::DISK_LOCAL ? 0x00 : 0x80;
    f.DiskBlockSize = 0;
    f.CdromRefresh = 0;
    f.StartSector = m_udisk.totalCapacity;
    f.Capacity = kLoginSectors;
    f.DiskForLun = LunCount;
    copy->setDiskType(schema::DISK_REMOVABLE);
    copy->setWriteProtected(true);
    copy->setCopyPath(loginIsoFile);
    copy->setVolumeLabel("login");
    copy->setCapacity(kLoginSectors);
    copy->setPartitionIndex(LunCount);
    lun->setPartInfo(copy);
    const int result = appendLun(index, lun);
    if (result == 0) {
        m_udisk.totalCapacity += kLoginSectors;
        ++LunCount;
    }
    return result;
}

int CfgPartition::addNormalLun(int index, Sptr<PartInfo> part, uint32_t capacity, bool hidden,
                               bool withDescriptor)
{
    return addLun(index, part, Placement{capacity, hidden, false, withDescriptor});
}

int CfgPartition::addDummyLun(int index, Sptr<PartInfo> part, uint32_t capacity, bool hidden)
{
    return addLun(index, part, Placement{capacity, hidden, true, true});
}

int CfgPartition::addLun(int index, Sptr<PartInfo> part, const Placement& placement)
{
    Sptr<PartInfo> copy(new PartInfo(part));
    Sptr<LunInfo> lun(new LunInfo());
    if (!placement.dummy) {
        copy->debug();
        SystemInfo::debugOut("modify PART");
    }
    uint32_t capacity = placement.capacity;
    if (placement.hidden) {
        // The hidden LUN holds what is left behind the login LUN; nothing
        // left means the settings cannot work.
        if (capacity <= kLoginSectors) {
            return refuse(index, "leaves no room for its hidden LUN");
        }
        capacity -= kLoginSectors;
        copy->setCopyPath("");
    }
    copy->setCapacity(capacity);
    // A unit that is formatted must hold its file system, or readers find
    // nothing there and a local disk's records reach into the next unit.
    if (placement.withDescriptor && !copy->holdsFileSystem()) {
        return refuse(index, "of " + std::to_string(capacity) + " sectors is too small for its file system");
    }
    LunFields& f = lun->fields();
    f.DiskType = lunDiskType(part->getDiskType());
    if (part->getDiskType() == schema::DISK_CDROM) {
        f.DiskBlockSize = 2;
    }
    f.StartSector = m_udisk.totalCapacity;
    f.Capacity = capacity;
    f.DummyDisk = placement.dummy ? 1 : 0;
    f.WriteProtect = copy->getWriteProtected() ? 1 : 0;
    f.Hide = (placement.hidden || (!placement.dummy && copy->getHide())) ? 1 : 0;
    f.DiskForLun = LunCount;
    copy->setPartitionIndex(LunCount);
    if (!placement.dummy) {
        copy->setIsEncrypted(false);
    }
    const int result = appendLun(index, lun);
    if (result != 0) {
        return result;
    }
    if (placement.withDescriptor) {
        lun->setPartInfo(copy);
        m_udisk.totalCapacity += capacity;
    }
    if (!placement.hidden) {
        ++LunCount;
    }
    CPLOG(7, "CfgPartition::addNormalLun:lunInfo->DiskCapacity:%d,totalCapacity:%d", static_cast<int>(capacity),
          static_cast<int>(m_udisk.totalCapacity));
    return 0;
}

int CfgPartition::update4Scan(schema::UsbDevice* device, bool keepLuns)
{
    if (m_variant == CfgVariant::V6706) {
        return 0;
    }
    TESSOR_ASSERT(device != nullptr);
    return resizeForScan(device->getDiskInfo(), keepLuns);
}

int CfgPartition::resizeForScan(Sptr<schema::DiskInfo> disk, bool keepLuns)
{
    Sptr<LunInfo> first = getLunInfo(0);
    TESSOR_ASSERT(first);
    TESSOR_ASSERT(disk);
    m_diskInfo = disk;
    first->fields().Capacity = static_cast<uint32_t>(disk->getTotalSectors());
    if (!keepLuns) {
        LunCount = 1;
    }
    return 0;
}

int CfgPartition::update4HighFormat(schema::UsbDevice* /*device*/)
{
    for (int i = 0; i < LunTableLayout::kSlots; ++i) {
        Sptr<LunInfo> lun = getLunInfo(i);
        if (!lun) {
            break;
        }
        LunFields& f = lun->fields();
        f.Refresh = f.CdromRefresh = f.Eject = f.bit3_rsv = f.WrProtectPin = f.firstRefresh = 0;
        f.ReadProtect = f.WriteProtect = 0;
        f.DiskType = 0x80;
        f.DiskBlockSize = 0;
    }
    m_udisk.highFormatPending = 1;
    return 0;
}

Sptr<PartInfo> CfgPartition::getPartInfo(int i)
{
    Sptr<LunInfo> lun = getLunInfo(i);
    if (!lun || lun->fields().DiskForLun == 0xFF) {
        return Sptr<PartInfo>();
    }
    const LunFields& f = lun->fields();
    Sptr<PartInfo> part(new PartInfo(static_cast<int>(f.Capacity)));
    part->setDiskType(f.DiskType == 0x00   ? schema::DISK_LOCAL
                      : f.DiskType == 0x85 ? schema::DISK_CDROM
                                           : schema::DISK_REMOVABLE);
    part->setIsEncrypted(f.WriteProtect == 1);
    return part;
}

std::vector<Sptr<PartInfo>> CfgPartition::getPartitions()
{
    std::vector<Sptr<PartInfo>> parts;
    bool folded = false;
    for (int i = 0; i < LunTableLayout::kSlots; ++i) {
        Sptr<PartInfo> part = getPartInfo(i);
        // A slot without sectors holds no partition either.
        if (!part || part->getCapacity() == 0) {
            break;
        }
        // An encrypted first partition is its login unit and the hidden unit
        // behind the others: read back, the two are that partition again.
        if (!parts.empty() && parts.front()->getIsEncrypted() && getLunInfo(i)->fields().Hide != 0) {
            if (!folded) {
                parts.front()->setCapacity(part->getCapacity() + kLoginSectors);
                folded = true;
            }
            continue;
        }
        parts.push_back(part);
    }
    return parts;
}

void CfgPartition::debug()
{
    SystemInfo::debug("\tCfgPartition Info : \n");
    SystemInfo::debug("\t\tLunCount : %d\n", LunCount);
    for (const Sptr<BaseData>& child : m_children) {
        child->debug();
    }
}

}  // namespace Tessor::usb
