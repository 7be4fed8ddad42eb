#include "schema/device/PartInfo.h"

#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/FatParameters.h"

namespace Tessor::schema {

PartInfo::PartInfo(int capacity) : BaseData("PartInfo"), m_capacity(static_cast<uint32_t>(capacity))
{
    CPLOG(7, "Part Capacity : %d Mb", static_cast<int>(m_capacity >> 11));
}

PartInfo::PartInfo(const Sptr<PartInfo>& other) : BaseData("PartInfo")
{
    m_diskType = other->m_diskType;
    m_bootType = other->m_bootType;
    m_encrypted = other->m_encrypted;
    m_writeProtected = other->m_writeProtected;
    m_hide = other->m_hide;
    m_capacity = other->m_capacity;
    m_partitionIndex = other->m_partitionIndex;
    m_copyPath = other->m_copyPath;
    m_volumeLabel = other->m_volumeLabel;
}

int PartInfo::init()
{
    m_encrypted = false;
    m_writeProtected = false;
    m_hide = false;
    m_diskType = DISK_REMOVABLE;
    m_bootType = 0;
    m_partitionIndex = 0;
    return 0;
}

int PartInfo::getFileSystemType()
{
    if (m_capacity <= 8400) {
        m_fileSystemType = 1;
    } else if (m_capacity <= 4194304) {
        m_fileSystemType = 6;
    } else {
        m_fileSystemType = 0x0B;
    }
    // The first partition of a local disk is FAT32 whenever it can hold the
    // clusters FAT32 needs; below that readers would take it for FAT16.
    if (m_diskType == DISK_LOCAL && m_partitionIndex == 0) {
        const FatParameters fat32 = FatParameters::compute(FatParameters::FAT32, m_capacity, MBR_HIDDEN_SECTORS);
        if (fat32.clusterCount() >= FatParameters::FAT32_CLUSTER_MINIMUM) {
            m_fileSystemType = FatParameters::FAT32;
        }
    } else if (m_diskType == DISK_CDROM) {
        m_fileSystemType = 0xFE;
    }
    return m_fileSystemType;
}

bool PartInfo::holdsFileSystem()
{
    const int type = getFileSystemType();
    if (type == 0xFE) {
        return true;
    }
    const uint32_t hidden = getIsLocalDisk() ? MBR_HIDDEN_SECTORS : 0;
    return m_capacity > hidden && FatParameters::compute(type, m_capacity, hidden).clusterCount() > 0;
}

void PartInfo::debug()
{
    SystemInfo::debug("\t\tPartition Info : \n");
    SystemInfo::debug("\t\t\tPartition Index : %d\n", m_partitionIndex);
    SystemInfo::debug("\t\t\tCapacity \t: %u\n", m_capacity);
    SystemInfo::debug("\t\t\tisEncrypted \t: %s, \tisWriteProtected \t: %s\n", m_encrypted ? "YES" : "NO",
                      m_writeProtected ? "YES" : "NO");
    SystemInfo::debug("\t\t\tDiskType \t: %d, \tBootType \t: %d\n", m_diskType, m_bootType);
    SystemInfo::debug("\t\t\tVolume \t: %s\n", m_volumeLabel.c_str());
    SystemInfo::debug("\t\t\tCopyPath \t: %s\n", m_copyPath.c_str());
}

}  // namespace Tessor::schema
