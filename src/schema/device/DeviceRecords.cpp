#include "schema/device/DeviceRecords.h"

#include <atomic>

#include "schema/base/Assert.h"

namespace Tessor::schema {

namespace {
std::atomic<const DeviceRecords*> installedRecords{nullptr};
}  // namespace

void DeviceRecords::install(const DeviceRecords* records) { installedRecords = records; }

const DeviceRecords& DeviceRecords::installed()
{
    const DeviceRecords* records = installedRecords;
    TESSOR_ASSERT(records != nullptr);
    return *records;
}

}  // namespace Tessor::schema
