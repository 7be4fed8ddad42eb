// The on-disk records of a partitioned FAT disk: master boot record, FAT12/16
// and FAT32 boot sectors and the FAT32 file-system information sector, each
// exactly one sector of bytes in disk order.
#pragma once

#include <cstdint>

#include "platform/orrin/ByteOrder.h"
#include "platform/orrin/Sector.h"

namespace Tessor::schema {

struct PartitionEntry {
    uint8_t status;
    uint8_t startHead;
    uint8_t startSectorCylinder[2];
    uint8_t type;
    uint8_t endHead;
    uint8_t endSectorCylinder[2];
    Le32 firstSector;
    Le32 sectorCount;
};
static_assert(sizeof(PartitionEntry) == 16);

struct MasterBootRecord {
    uint8_t program[440];
    Le32 diskSignature;
    uint8_t zero[2];
    PartitionEntry entry[4];
    uint8_t signature[2];
};
static_assert(sizeof(MasterBootRecord) == SECTOR_BYTES);

// The BIOS parameter block every FAT boot sector starts with.
struct BiosParameters {
    uint8_t jump[3];
    char oemName[8];
    Le16 bytesPerSector;
    uint8_t sectorsPerCluster;
    Le16 reservedSectors;
    uint8_t fatCount;
    Le16 rootEntries;
    Le16 totalSectors16;
    uint8_t media;
    Le16 sectorsPerFat16;
    Le16 sectorsPerTrack;
    Le16 heads;
    Le32 hiddenSectors;
    Le32 totalSectors32;
};
static_assert(sizeof(BiosParameters) == 36);

struct ExtendedBootRecord {
    uint8_t drive;
    uint8_t reserved;
    uint8_t bootSignature;
    Le32 serial;
    char label[11];
    char fileSystem[8];
};
static_assert(sizeof(ExtendedBootRecord) == 26);

struct Fat16BootSector {
    BiosParameters bpb;
    ExtendedBootRecord ext;
    uint8_t program[448];
    uint8_t signature[2];
};
static_assert(sizeof(Fat16BootSector) == SECTOR_BYTES);

struct Fat32BootSector {
    BiosParameters bpb;
    Le32 sectorsPerFat32;
    Le16 extendedFlags;
    Le16 version;
    Le32 rootCluster;
    Le16 infoSector;
    Le16 backupBootSector;
    uint8_t zero[12];
    ExtendedBootRecord ext;
    uint8_t program[420];
    uint8_t signature[2];
};
static_assert(sizeof(Fat32BootSector) == SECTOR_BYTES);

struct FsInfoSector {
    char leadSignature[4];
    uint8_t reserved[480];
    char structSignature[4];
    Le32 freeClusters;
    Le32 nextFree;
    uint8_t reserved2[12];
    uint8_t trailSignature[4];
};
static_assert(sizeof(FsInfoSector) == SECTOR_BYTES);

// A sector holding a small real-mode program, entered through a short jump
// at byte 0 (or at `entry` itself for a master boot record), that shows
// `message` and waits for a key before asking the BIOS for the next disk;
// 55 AA at its end.
void makeBootProgram(uint8_t* sector, int entry, const char* message, bool jumpFirst);

}  // namespace Tessor::schema
