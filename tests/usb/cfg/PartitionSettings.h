// Run settings built by hand for the partition item's tests.
#pragma once

#include <cstdint>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/PartInfo.h"

struct PartSpec {
    uint32_t capacity;
    bool encrypted = false;
    int diskType = Tessor::schema::DISK_REMOVABLE;
};

inline Sptr<Tessor::schema::ConfigInfo> makeSettings(int realCapacity, int configCapacity,
                                                     const std::vector<PartSpec>& parts)
{
    Sptr<Tessor::schema::ConfigInfo> settings(new Tessor::schema::ConfigInfo());
    settings->setRealCapacity(realCapacity);
    settings->setConfigCapacity(configCapacity);
    for (const PartSpec& spec : parts) {
        Sptr<Tessor::schema::PartInfo> part(new Tessor::schema::PartInfo(static_cast<int>(spec.capacity)));
        part->setIsEncrypted(spec.encrypted);
        part->setDiskType(spec.diskType);
        part->setVolumeLabel("DATA");
        part->setCopyPath("content");
        settings->addPartInfo(part);
    }
    return settings;
}
