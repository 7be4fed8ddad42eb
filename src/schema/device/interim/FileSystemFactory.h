#pragma once

#include "schema/data/BaseData.h"

namespace Tessor::interim {

class FileSystemFactory : public schema::BaseData {
public:
    explicit FileSystemFactory(schema::UsbDevice* device) : BaseData(device, "FileSystemFactory") {}
    int init() override { return 0; }
};

}  // namespace Tessor::interim
