// Writes the partitions of a device into its logical sectors, one after the
// other from sector 0: master boot record (local disks), FAT boot sector,
// both FATs and the root directory, or a CD-ROM unit copied from its ISO
// image. Every sector written is read back and compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/orrin/Sector.h"
#include "schema/base/Sptr.h"
#include "schema/device/BootRecords.h"
#include "schema/device/FileSystemDbr.h"
#include "schema/device/PartInfo.h"

namespace Tessor::schema {

class UsbDevice;

class FileSystemFactory {
public:
    static constexpr int WRITE_FAILED = 29;
    static constexpr int READ_FAILED = 30;
    static constexpr int MAX_UNITS = 5;
    static constexpr int WORK_SECTORS = 128;

    explicit FileSystemFactory(UsbDevice* device);
    virtual ~FileSystemFactory() = default;
    FileSystemFactory(const FileSystemFactory&) = delete;
    FileSystemFactory& operator=(const FileSystemFactory&) = delete;

    virtual int init();

    // Formats the units in order from sector 0, up to the first failure.
    [[nodiscard]] int formatAllPartition(const std::vector<Sptr<PartInfo>>& units);
    [[nodiscard]] int formatOnePartition(const Sptr<PartInfo>& part);

    [[nodiscard]] int buildMBR();
    [[nodiscard]] int buildDBR();
    [[nodiscard]] int buildFAT();
    [[nodiscard]] int writeFat(int number);
    [[nodiscard]] int buildRootDirectory();
    [[nodiscard]] int buildCdromPartition();
    [[nodiscard]] int validate();

    uint32_t getCurrentSector() const { return m_currentSector; }
    // What made the last formatAllPartition fail, naming the partition.
    const std::string& getFailure() const { return m_failure; }

private:
    // Writes `count` sectors of the work buffer at `first` and reads them
    // back: 0, WRITE_FAILED, READ_FAILED or DeviceCode::VERIFY_FAILED.
    [[nodiscard]] int writeChecked(uint32_t first, int count, const char* what);
    // Reads `count` sectors at `first` and compares them with the work buffer.
    [[nodiscard]] int readChecked(uint32_t first, int count, const char* what);
    // `total` sectors at `first`, `head` (may be null) first and the rest
    // zero, in chunks of the work buffer: written and checked, or checked.
    [[nodiscard]] int writeRegion(uint32_t first, uint32_t total, const uint8_t* head, const char* what);
    [[nodiscard]] int checkRegion(uint32_t first, uint32_t total, const uint8_t* head, const char* what);
    [[nodiscard]] int region(uint32_t first, uint32_t total, const uint8_t* head, const char* what, bool write);
    // The FAT32 file-system information sector, the backup boot sector and
    // the rest of the reserved area.
    [[nodiscard]] int writeFat32Reserved();
    const char* name() const;
    // Logs why a step failed and keeps it for getFailure.
    void failed(const std::string& why);

    uint32_t m_currentSector = 0;
    uint32_t m_hiddenSectors = 0;
    uint32_t m_bootSector = 0;
    uint32_t m_firstFatSector = 0;
    uint32_t m_rootSector = 0;
    uint8_t m_mbr[SECTOR_BYTES] = {};
    uint8_t m_dbr[SECTOR_BYTES] = {};
    uint8_t m_fatHead[SECTOR_BYTES] = {};
    uint8_t m_rootHead[SECTOR_BYTES] = {};
    uint8_t m_work[WORK_SECTORS * SECTOR_BYTES] = {};
    UsbDevice* m_device;
    Sptr<PartInfo> m_part;
    Sptr<FileSystemDbr> m_params;
    std::string m_failure;
};

}  // namespace Tessor::schema
