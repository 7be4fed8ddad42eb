#include "schema/device/FileSystemDbr.h"

#include <cstring>

#include "platform/orrin/Sector.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/device/VolumeLabel.h"

namespace Tessor::schema {

namespace {

constexpr uint8_t kMedia = 0xF8;
constexpr uint8_t kExtendedSignature = 0x29;
constexpr uint8_t kLocalDrive = 0x80;

enum Template { FAT12_TEMPLATE, FAT16_A_TEMPLATE, FAT16_B_TEMPLATE, FAT32_TEMPLATE, TEMPLATE_COUNT };

struct Templates {
    uint8_t sector[TEMPLATE_COUNT][SECTOR_BYTES];
    Templates()
    {
        makeBootProgram(sector[FAT12_TEMPLATE], 0x4E, "Kernel file not found. Press any key to restart.\r\n",
                        true);
        makeBootProgram(sector[FAT16_A_TEMPLATE], 0x3E, "Non-system disk. Press any key to restart.\r\n", true);
        makeBootProgram(sector[FAT16_B_TEMPLATE], 0x3E, "No operating system on this disk. Press a key.\r\n",
                        true);
        makeBootProgram(sector[FAT32_TEMPLATE], 0x5A, "Non-system disk. Press any key to restart.\r\n", true);
        for (auto& s : sector) {
            std::memcpy(s + 3, "MSWIN4.1", 8);
        }
    }
};

const Templates& templates()
{
    static const Templates t;
    return t;
}

uint32_t nextSerial()
{
    int id = 0;
    SystemInfo::getGlobalUniqueID(&id);
    return static_cast<uint32_t>(id);
}

}  // namespace

FileSystemDbr::FileSystemDbr(const Sptr<PartInfo>& part, unsigned long hiddenSectors)
    : m_part(part), m_hidden(static_cast<uint32_t>(hiddenSectors))
{
    init();
}

void FileSystemDbr::init()
{
    const int type = m_part->getFileSystemType();
    m_params = FatParameters::compute(type, static_cast<uint32_t>(m_part->getCapacity()), m_hidden);
    CPLOG(7, "Root Directories : %d, sectors : %d", m_params.rootEntries, m_params.rootSectors);
    if (m_params.type == 0) {
        CPLOG(3, "Not Support Partition Type");
        return;
    }
    if (m_params.type == FatParameters::FAT12) {
        CPLOG(7, "Partition Type : FAT12");
    } else {
        CPLOG(7, "SectorPerCluster : %d(%d)", m_params.sectorsPerCluster, m_params.tableCell);
    }
    CPLOG(7, "SectorPerCluster : %d", m_params.sectorsPerCluster);
    const uint32_t serial = nextSerial();
    if (m_params.type == FatParameters::FAT32) {
        CPLOG(7, "Partition Type : FAT32");
        fillFat32(serial);
    } else {
        CPLOG(7, "Partition Type : FAT12|HUGE");
        fillFat16(serial);
    }
}

void FileSystemDbr::fillCommon(BiosParameters& bpb, ExtendedBootRecord& ext, uint32_t serial,
                               const char* fileSystem)
{
    const FatParameters& p = m_params;
    bpb.bytesPerSector.set(SECTOR_BYTES);
    bpb.sectorsPerCluster = p.sectorsPerCluster;
    bpb.reservedSectors.set(p.reservedSectors);
    bpb.fatCount = static_cast<uint8_t>(p.fatCount);
    bpb.totalSectors16.set(p.big ? 0 : static_cast<uint16_t>(p.totalSectors));
    bpb.media = kMedia;
    bpb.sectorsPerTrack.set(p.type == FatParameters::FAT12 ? 32 : 63);
    bpb.heads.set(255);
    bpb.hiddenSectors.set(m_hidden);
    bpb.totalSectors32.set(p.big ? p.totalSectors : 0);
    ext.drive = m_part->getIsLocalDisk() ? kLocalDrive : 0;
    ext.reserved = 0;
    ext.bootSignature = kExtendedSignature;
    ext.serial.set(serial);
    static_assert(sizeof ext.label == VolumeLabel::BYTES);
    const std::string label = VolumeLabel(m_part->getVolumeLabel()).field();
    std::memcpy(ext.label, label.data(), sizeof ext.label);
    std::memcpy(ext.fileSystem, fileSystem, sizeof ext.fileSystem);
}

void FileSystemDbr::fillFat16(uint32_t serial)
{
    const bool fat12 = m_params.type == FatParameters::FAT12;
    const int bootType = m_part->getBootType();
    const Template t = fat12 ? FAT12_TEMPLATE : (bootType == 1 || bootType == 2) ? FAT16_B_TEMPLATE : FAT16_A_TEMPLATE;
    std::memcpy(m_image, templates().sector[t], SECTOR_BYTES);
    auto& s = *reinterpret_cast<Fat16BootSector*>(m_image);
    fillCommon(s.bpb, s.ext, serial, fat12 ? "FAT12   " : "FAT16   ");
    s.bpb.rootEntries.set(m_params.rootEntries);
    s.bpb.sectorsPerFat16.set(static_cast<uint16_t>(m_params.sectorsPerFat));
    CPLOG(7, "FAT12 DBR : SectorsPerFAT :%d\n", static_cast<int>(m_params.sectorsPerFat));
    CPLOG(7, "FAT12 ID =%x(%x)", serial, serial);
}

void FileSystemDbr::fillFat32(uint32_t serial)
{
    std::memcpy(m_image, templates().sector[FAT32_TEMPLATE], SECTOR_BYTES);
    auto& s = *reinterpret_cast<Fat32BootSector*>(m_image);
    fillCommon(s.bpb, s.ext, serial, "FAT32   ");
    const bool big = m_params.big;
    s.bpb.rootEntries.set(big ? 0 : 512);
    s.bpb.sectorsPerFat16.set(big ? 0 : static_cast<uint16_t>(m_params.sectorsPerFat));
    s.sectorsPerFat32.set(big ? m_params.sectorsPerFat : 0);
    s.extendedFlags.set(0);
    s.version.set(0);
    s.rootCluster.set(2);
    s.infoSector.set(1);
    s.backupBootSector.set(6);
    std::memset(s.zero, 0, sizeof s.zero);
    CPLOG(7, "FAT32 ID =%x(%x)", serial, serial);
}

}  // namespace Tessor::schema
