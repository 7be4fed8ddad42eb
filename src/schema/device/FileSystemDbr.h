// The FAT parameters of one partition and its finished boot sector.
#pragma once

#include <cstdint>

#include "platform/orrin/Sector.h"
#include "schema/base/Sptr.h"
#include "schema/device/BootRecords.h"
#include "schema/device/FatParameters.h"
#include "schema/device/PartInfo.h"

namespace Tessor::schema {

class FileSystemDbr {
public:
    FileSystemDbr(const Sptr<PartInfo>& part, unsigned long hiddenSectors);

    unsigned short getReservedSectorsCount() const { return m_params.reservedSectors; }
    unsigned long getSectorsPerFat() const { return m_params.sectorsPerFat; }
    unsigned short getFatCount() const { return m_params.fatCount; }
    unsigned short getRootDirectorySectorCount() const { return m_params.rootSectors; }
    unsigned char getSectorsPerCluster() const { return m_params.sectorsPerCluster; }
    const FatParameters& getParameters() const { return m_params; }
    // The 512-byte boot sector; all zero for a type that is not FAT.
    const char* getResult() const { return reinterpret_cast<const char*>(m_image); }

private:
    void init();
    void fillFat16(uint32_t serial);
    void fillFat32(uint32_t serial);
    void fillCommon(BiosParameters& bpb, ExtendedBootRecord& ext, uint32_t serial, const char* fileSystem);

    FatParameters m_params;
    uint8_t m_image[SECTOR_BYTES] = {};
    Sptr<PartInfo> m_part;
    uint32_t m_hidden;
};

}  // namespace Tessor::schema
