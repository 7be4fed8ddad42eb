// One partition of the run settings.
#pragma once

#include <cstdint>
#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

enum _DISK_TYPE { DISK_REMOVABLE = 0, DISK_LOCAL = 1, DISK_CDROM = 2 };
typedef int _BOOT_TYPE;

class PartInfo : public BaseData {
public:
    // Sectors a master boot record keeps in front of a local disk's volume.
    static constexpr uint32_t MBR_HIDDEN_SECTORS = 63;

    explicit PartInfo(int capacity);
    explicit PartInfo(const Sptr<PartInfo>& other);
    PartInfo(const PartInfo& other) = default;
    PartInfo& operator=(const PartInfo& other) = default;
    ~PartInfo() override = default;

    void debug() override;
    int init() override;

    unsigned long getCapacity() const { return m_capacity; }
    void setCapacity(unsigned long capacity) { m_capacity = static_cast<uint32_t>(capacity); }
    bool getIsEncrypted() const { return m_encrypted; }
    void setIsEncrypted(bool v) { m_encrypted = v; }
    bool getWriteProtected() const { return m_writeProtected; }
    void setWriteProtected(bool v) { m_writeProtected = v; }
    bool getHide() const { return m_hide; }
    void setHide(bool v) { m_hide = v; }
    int getDiskType() const { return m_diskType; }
    void setDiskType(int type) { m_diskType = type; }
    _BOOT_TYPE getBootType() const { return m_bootType; }
    void setBootType(_BOOT_TYPE type) { m_bootType = type; }
    int getPartitionIndex() const { return m_partitionIndex; }
    void setPartitionIndex(int index) { m_partitionIndex = index; }
    const std::string& getCopyPath() const { return m_copyPath; }
    void setCopyPath(const std::string& path) { m_copyPath = path; }
    const std::string& getVolumeLabel() const { return m_volumeLabel; }
    void setVolumeLabel(const std::string& label) { m_volumeLabel = label; }
    bool getIsLocalDisk() const { return m_diskType == DISK_LOCAL; }
    // FAT12 (1), FAT16 (6), FAT32 (0x0B) or CD-ROM (0xFE); remembered once decided.
    int getFileSystemType();
    // Whether the capacity holds the partition's file system with at least
    // one cluster of data, behind the master boot record of a local disk.
    bool holdsFileSystem();

private:
    int m_fileSystemType = 0;
    int m_diskType = DISK_REMOVABLE;
    _BOOT_TYPE m_bootType = 0;
    bool m_encrypted = false;
    bool m_writeProtected = false;
    bool m_hide = false;
    uint32_t m_capacity = 0;
    std::string m_copyPath;
    std::string m_volumeLabel;
    int m_partitionIndex = 0;
};

}  // namespace Tessor::schema
