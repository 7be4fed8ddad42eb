#include "schema/device/FileSystemFactory.h"

#include <algorithm>
#include <cstring>

#include "platform/orrin/CeilDivide.h"
#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/device/VolumeLabel.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::schema {

namespace {

constexpr uint8_t kActive = 0x80;
constexpr uint32_t kCdromPiece = 65536;
constexpr int kFsInfoSector = 1;
constexpr int kSignatureSector = 2;
constexpr int kBackupBootSector = 6;
constexpr int kBootCodeSector = 12;
constexpr int kBackupCopies = 3;  // sectors 0..2 again at 6..8

const uint8_t* mbrTemplate()
{
    static const struct Sector {
        uint8_t bytes[SECTOR_BYTES];
        Sector() { makeBootProgram(bytes, 0, "USB boot error\r\n", false); }
    } sector;
    return sector.bytes;
}

}  // namespace

FileSystemFactory::FileSystemFactory(UsbDevice* device) : m_device(device) { init(); }

int FileSystemFactory::init()
{
    m_currentSector = 0;
    m_hiddenSectors = 0;
    std::memset(m_mbr, 0, sizeof m_mbr);
    std::memset(m_dbr, 0, sizeof m_dbr);
    std::memset(m_fatHead, 0, sizeof m_fatHead);
    std::memset(m_rootHead, 0, sizeof m_rootHead);
    std::memset(m_work, 0, sizeof m_work);
    m_part = Sptr<PartInfo>();
    return 0;
}

void FileSystemFactory::failed(const std::string& why)
{
    CPLOG(3, "%s", why.c_str());
    m_failure = why;
}

const char* FileSystemFactory::name() const { return m_device != nullptr ? m_device->getName() : "NULL"; }

int FileSystemFactory::formatAllPartition(const std::vector<Sptr<PartInfo>>& units)
{
    m_failure.clear();
    for (const Sptr<PartInfo>& part : units) {
        const int r = formatOnePartition(part);
        if (r != 0) {
            CPLOG(3, "%s format No.%d partition failed", name(), part->getPartitionIndex());
            m_failure = "partition " + std::to_string(part->getPartitionIndex()) + ": " + m_failure;
            return r;
        }
    }
    return 0;
}

int FileSystemFactory::formatOnePartition(const Sptr<PartInfo>& part)
{
    if (part->getPartitionIndex() == 0) {
        init();
    }
    m_part = part;
    m_hiddenSectors = 0;
    std::memset(m_work, 0, sizeof m_work);
    const int type = part->getFileSystemType();
    if (type == 0xFE) {
        const int r = buildCdromPartition();
        m_currentSector += static_cast<uint32_t>(part->getCapacity());
        return r != 0 ? -DeviceCode::CDROM_BUILD_FAILED : 0;
    }
    if (part->getIsLocalDisk() && buildMBR() != 0) {
        return -DeviceCode::MBR_BUILD_FAILED;
    }
    if (buildDBR() != 0) {
        return -DeviceCode::DBR_BUILD_FAILED;
    }
    CPLOG(7, "buildDBR for %s success ", name());
    if (buildFAT() != 0) {
        return -DeviceCode::FAT_BUILD_FAILED;
    }
    CPLOG(7, "buildFAT for %s success ", name());
    if (buildRootDirectory() != 0) {
        return -DeviceCode::ROOT_DIR_BUILD_FAILED;
    }
    CPLOG(7, "buildRootDirectory for %s success ", name());
    CPLOG(7, "partition for %s high format OK!", name());
    m_currentSector += static_cast<uint32_t>(part->getCapacity());
    m_hiddenSectors = 0;
    return 0;
}

int FileSystemFactory::buildMBR()
{
    std::memcpy(m_mbr, mbrTemplate(), SECTOR_BYTES);
    m_hiddenSectors = PartInfo::MBR_HIDDEN_SECTORS;
    auto& mbr = *reinterpret_cast<MasterBootRecord*>(m_mbr);
    const uint32_t capacity = static_cast<uint32_t>(m_part->getCapacity());
    const int type = m_part->getFileSystemType();
    const uint32_t sectorsPerTrack = type == FatParameters::FAT12 ? 32 : 63;
    std::memset(mbr.entry, 0, sizeof mbr.entry);
    PartitionEntry& e = mbr.entry[0];
    e.status = kActive;
    e.startHead = 1;
    e.startSectorCylinder[0] = 1;
    e.startSectorCylinder[1] = 0;
    e.type = static_cast<uint8_t>(type);
    e.endHead = static_cast<uint8_t>(std::min<uint32_t>(capacity / 1024 / sectorsPerTrack, 254));
    e.endSectorCylinder[0] = static_cast<uint8_t>(0xC0 + sectorsPerTrack);
    e.endSectorCylinder[1] = 0xFF;
    e.firstSector.set(m_hiddenSectors);
    e.sectorCount.set(capacity - m_hiddenSectors);
    int signature = 0;
    SystemInfo::getGlobalUniqueID(&signature);
    mbr.diskSignature.set(static_cast<uint32_t>(signature));
    CPLOG(7, "MBR =%x,", signature);
    if (m_device->writeLogicalSectors(m_currentSector, 1, m_mbr) != 0) {
        failed("Write MBR for disk " + std::string(name()) + " failed");
        return -WRITE_FAILED;
    }
    return 0;
}

int FileSystemFactory::buildDBR()
{
    std::memset(m_work, 0, sizeof m_work);
    m_params = Sptr<FileSystemDbr>(new FileSystemDbr(m_part, m_hiddenSectors));
    std::memcpy(m_dbr, m_params->getResult(), SECTOR_BYTES);
    CPLOG(7,
          "DBR params: SectorsPerCluster :%d\tSectorsPerFat :%d\tFAT :%d\tRootDirectoryCount :%d\t"
          "ReseveredSectorCount :%d",
          m_params->getSectorsPerCluster(), static_cast<int>(m_params->getSectorsPerFat()),
          m_params->getFatCount(), m_params->getRootDirectorySectorCount(), m_params->getReservedSectorsCount());
    m_bootSector = m_currentSector + m_hiddenSectors;
    CPLOG(7, "DBR start sector : %d", m_bootSector);
    CPLOG(7, "DBR start sector : %d", m_currentSector);
    std::memcpy(m_work, m_dbr, SECTOR_BYTES);
    const int r = writeChecked(m_bootSector, 1, "DBR");
    if (r != 0 || m_params->getParameters().type != FatParameters::FAT32) {
        return r;
    }
    return writeFat32Reserved();
}

// The boot sector names sector 1 for the file-system information and sector
// 6 for its backup; a FAT32 volume has room for both in its reserved area.
int FileSystemFactory::writeFat32Reserved()
{
    const int reserved = m_params->getReservedSectorsCount();
    if (reserved <= kBootCodeSector) {
        return 0;
    }
    std::memset(m_work, 0, size_t(reserved) * SECTOR_BYTES);
    uint8_t* sector = m_work;
    std::memcpy(sector, m_dbr, SECTOR_BYTES);
    auto& info = *reinterpret_cast<FsInfoSector*>(sector + kFsInfoSector * SECTOR_BYTES);
    std::memcpy(info.leadSignature, "RRaA", 4);
    std::memcpy(info.structSignature, "rrAa", 4);
    info.freeClusters.set(0xFFFFFFFF);
    info.nextFree.set(0xFFFFFFFF);
    const uint8_t trail[4] = {0x00, 0x00, 0x55, 0xAA};
    std::memcpy(info.trailSignature, trail, 4);
    for (int s : {kSignatureSector, kBootCodeSector}) {
        sector[s * SECTOR_BYTES + SECTOR_BYTES - 2] = 0x55;
        sector[s * SECTOR_BYTES + SECTOR_BYTES - 1] = 0xAA;
    }
    std::memcpy(sector + kBackupBootSector * SECTOR_BYTES, sector, size_t(kBackupCopies) * SECTOR_BYTES);
    // Sector 0 is written and checked already.
    std::memmove(m_work, m_work + SECTOR_BYTES, size_t(reserved - 1) * SECTOR_BYTES);
    return writeChecked(m_bootSector + 1, reserved - 1, "reserved sectors");
}

int FileSystemFactory::buildFAT()
{
    std::memset(m_fatHead, 0, sizeof m_fatHead);
    const int type = m_params->getParameters().type;
    // FAT[0] carries the boot sector's media byte on every FAT type.
    static const uint8_t kFat12[] = {0xF8, 0xFF, 0xFF};
    static const uint8_t kFat16[] = {0xF8, 0xFF, 0xFF, 0xFF};
    static const uint8_t kFat32[] = {0xF8, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0x0F};
    if (type == FatParameters::FAT12) {
        std::memcpy(m_fatHead, kFat12, sizeof kFat12);
    } else if (type == FatParameters::FAT16) {
        std::memcpy(m_fatHead, kFat16, sizeof kFat16);
    } else {
        std::memcpy(m_fatHead, kFat32, sizeof kFat32);
    }
    m_firstFatSector = m_bootSector + m_params->getReservedSectorsCount();
    int r = writeFat(0);
    if (r == 0 && m_params->getFatCount() == 2) {
        r = writeFat(1);
    }
    return r;
}

int FileSystemFactory::writeFat(int number)
{
    const uint32_t sectors = static_cast<uint32_t>(m_params->getSectorsPerFat());
    const std::string what = "FAT " + std::to_string(number + 1);
    return writeRegion(m_firstFatSector + uint32_t(number) * sectors, sectors, m_fatHead, what.c_str());
}

int FileSystemFactory::buildRootDirectory()
{
    std::memset(m_work, 0, sizeof m_work);
    std::memset(m_rootHead, 0, sizeof m_rootHead);
    const VolumeLabel label(m_part->getVolumeLabel());
    (void)createRootDir(m_rootHead, label.empty() ? "" : label.field().c_str());  // it only fills the sector
    m_rootSector = m_firstFatSector + uint32_t(m_params->getFatCount()) * uint32_t(m_params->getSectorsPerFat());
    uint32_t sectors = m_params->getRootDirectorySectorCount();
    if (m_params->getParameters().type == FatParameters::FAT32) {
        // The root is cluster 2: all of it must read as empty entries.
        sectors = std::max<uint32_t>(sectors, m_params->getSectorsPerCluster());
    }
    return writeRegion(m_rootSector, sectors, m_rootHead, "ROOT directory");
}

int FileSystemFactory::buildCdromPartition()
{
    const std::string path = HostPath::toHost(m_part->getCopyPath());
    const int size = usbGetFileSize(path.c_str());
    CPLOG(7, "Current Write CD-Rom start Sector at %d ", m_currentSector);
    if (size < 0) {
        failed("build CDROM partition failed on disk " + std::string(name()) + ": ISO file " + path +
               " cannot be read");
        return -1;
    }
    if (size == 0) {
        CPLOG(4, "ISO file %s is empty: the CD-ROM unit of %s stays unwritten", path.c_str(), name());
        return 0;
    }
    if (uint64_t(size) > uint64_t(m_part->getCapacity()) * SECTOR_BYTES) {
        failed("build CDROM partition failed on disk " + std::string(name()) + ": ISO file " + path + " of " +
               std::to_string(size) + " bytes exceeds the unit's " + std::to_string(m_part->getCapacity()) +
               " sectors");
        return -1;
    }
    uint32_t sector = m_currentSector;
    for (uint32_t offset = 0; offset < uint32_t(size);) {
        const uint32_t piece = std::min<uint32_t>(kCdromPiece, uint32_t(size) - offset);
        std::memset(m_work, 0, sizeof m_work);
        if (usbReadFile(path.c_str(), m_work, int(piece), int(offset)) != int(piece)) {
            failed("build CDROM partition failed on disk " + std::string(name()) + ": ISO file " + path +
                   " reads short at byte " + std::to_string(offset));
            return -1;
        }
        const uint32_t count = ceilDivide(piece, SECTOR_BYTES);
        if (m_device->writeLogicalSectors(sector, count, m_work) != 0) {
            failed("build CDROM partition failed on disk " + std::string(name()) + " for ISO file " + path);
            return -1;
        }
        sector += count;
        offset += piece;
    }
    CPLOG(7, "build CDROM partition on %s for ISO file %s OK : %d sectors have been wroten", name(), path.c_str(),
          static_cast<int>(sector - m_currentSector));
    return 0;
}

int FileSystemFactory::validate()
{
    const int r = checkRegion(m_firstFatSector, static_cast<uint32_t>(m_params->getSectorsPerFat()), m_fatHead,
                              "FAT");
    return r != 0 ? r : checkRegion(m_rootSector, m_params->getRootDirectorySectorCount(), m_rootHead,
                                    "ROOT directory");
}

int FileSystemFactory::writeRegion(uint32_t first, uint32_t total, const uint8_t* head, const char* what)
{
    return region(first, total, head, what, true);
}

int FileSystemFactory::checkRegion(uint32_t first, uint32_t total, const uint8_t* head, const char* what)
{
    return region(first, total, head, what, false);
}

int FileSystemFactory::region(uint32_t first, uint32_t total, const uint8_t* head, const char* what, bool write)
{
    for (uint32_t done = 0; done < total;) {
        const int count = static_cast<int>(std::min<uint32_t>(WORK_SECTORS, total - done));
        std::memset(m_work, 0, size_t(count) * SECTOR_BYTES);
        if (done == 0 && head != nullptr) {
            std::memcpy(m_work, head, SECTOR_BYTES);
        }
        const int r = write ? writeChecked(first + done, count, what) : readChecked(first + done, count, what);
        if (r != 0) {
            return r;
        }
        done += uint32_t(count);
    }
    return 0;
}

int FileSystemFactory::writeChecked(uint32_t first, int count, const char* what)
{
    if (m_device->writeLogicalSectors(first, unsigned(count), m_work) != 0) {
        failed("Write " + std::string(what) + " for " + name() + " failed");
        return WRITE_FAILED;
    }
    return readChecked(first, count, what);
}

int FileSystemFactory::readChecked(uint32_t first, int count, const char* what)
{
    const unsigned char* read = m_device->readLogicalSectors(first, unsigned(count));
    if (read == nullptr) {
        failed("Read " + std::string(what) + " for disk " + name() + " failed");
        return READ_FAILED;
    }
    const size_t bytes = size_t(count) * SECTOR_BYTES;
    if (std::memcmp(read, m_work, bytes) != 0) {
        failed("Compare " + std::string(what) + " for disk " + name() + " failed");
        SystemInfo::debugBuffer(read, static_cast<int>(bytes), "Read out");
        SystemInfo::debugBuffer(m_work, static_cast<int>(bytes), "Write in");
        return DeviceCode::VERIFY_FAILED;
    }
    return 0;
}

}  // namespace Tessor::schema
