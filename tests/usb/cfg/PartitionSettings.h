// Run settings built by hand for the partition item's tests.
#pragma once

#include <cstdint>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/PartInfo.h"

struct PartSetting {
    uint32_t capacity;
    bool encrypted = false;
    int diskType = Tessor::schema::DISK_REMOVABLE;
};

inline Sptr<Tessor::schema::ConfigInfo> makeSettings(int realCapacity, int configCapacity,
                                                     const std::vector<PartSetting>& parts)
{
    Sptr<Tessor::schema::ConfigInfo> settings(new Tessor::schema::ConfigInfo());
    settings->setRealCapacity(realCapacity);
    settings->setConfigCapacity(configCapacity);
    for (const PartSetting& setting : parts) {
        Sptr<Tessor::schema::PartInfo> part(new Tessor::schema::PartInfo(static_cast<int>(setting.capacity)));
        part->setIsEncrypted(setting.encrypted);
        part->setDiskType(setting.diskType);
        part->setVolumeLabel("DATA");
        part->setCopyPath("content");
        settings->addPartInfo(part);
    }
    return settings;
}
