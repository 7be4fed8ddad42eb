#include "usb/task/hFormat/TaskHfFormatAllPartitions.h"

#include <vector>

#include "platform/orrin/Orrin.h"
#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/FileSystemFactory.h"
#include "schema/device/PartInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgPartition.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/LunInfo.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::schema {

TaskHfFormatAllPartitions::TaskHfFormatAllPartitions(TASK_TYPE_T type, const std::string& name)
    : BaseTask(type, name)
{
    init();
}

int TaskHfFormatAllPartitions::init()
{
    TESSOR_ASSERT(getType() == TASK_FORMAT_ALL);
    return 0;
}

void TaskHfFormatAllPartitions::volume(UsbDevice* device, int operation)
{
    if (device->volumeControl(static_cast<_VOLUME_OP_T>(operation)) != 0) {
        CPLOG(3, operation == VOLUME_UNLOCK ? "%s unlock volume failed" : "%s lock volume failed",
              device->getName());
    }
}

bool TaskHfFormatAllPartitions::copy(const std::string& source, const std::string& target, std::string* refusal)
{
    const std::string host = HostPath::toHost(source);
    for (int attempt = 0; attempt < COPY_ATTEMPTS; ++attempt) {
        // The library answers non-zero for a finished copy.
        if (copyDirectory2Flash(host.c_str(), target.c_str(), 1) != 0) {
            return true;
        }
        *refusal = getCopyRefusal();
        if (!refusal->empty()) {
            return false;
        }
        shared_delay(COPY_RETRY_MS);
        CPLOG(7, "Copy files retry %d times", attempt);
    }
    return false;
}

namespace {

// The units of the partition record in order, up to a dummy disk and at most
// as many as the device shows.
std::vector<Sptr<PartInfo>> unitsToFormat(UsbDevice* device, const Sptr<usb::CfgPartition>& partitions)
{
    std::vector<Sptr<PartInfo>> units;
    if (!partitions) {
        CPLOG(3, "%s has no partition table to format", device->getName());
        return units;
    }
    for (int i = 0;; ++i) {
        Sptr<usb::LunInfo> lun = partitions->getLunInfo(i);
        Sptr<PartInfo> part = lun ? lun->getPartInfo() : Sptr<PartInfo>();
        if (!part) {
            return units;
        }
        units.push_back(part);
        if (i + 1 >= FileSystemFactory::MAX_UNITS || lun->fields().DummyDisk != 0) {
            CPLOG(3, "LUN number %d is too big to used", i + 1);
            return units;
        }
    }
}

}  // namespace

int TaskHfFormatAllPartitions::startup(UsbDevice* device, Sptr<BaseEvent> event)
{
    Sptr<FileSystemFactory> factory = device->getFileSystemFactory();
    TESSOR_ASSERT(factory);
    Sptr<usb::CfgTable> table = device->getCfgTable();
    Sptr<usb::CfgPartition> partitions = table ? table->getPartitionCtrl() : Sptr<usb::CfgPartition>();
    const std::string drive = device->getDiskDriver();
    const std::string target = drive + ":";

    const uint32_t started = SystemInfo::getSystemTick();
    const int r = factory->formatAllPartition(unitsToFormat(device, partitions));
    if (r != 0) {
        CPLOG(3, "%s format  partition failed", device->getName());
        event->setErrorCode(-r);
        event->setErrorCause(factory->getFailure());
        return r;
    }
    const uint32_t elapsed = SystemInfo::getSystemTick() - started;
    CPLOG(7, "Format Disk time %d s %d ms", static_cast<int>(elapsed / 1000), static_cast<int>(elapsed % 1000));
    shared_delay(SETTLE_MS);
    volume(device, VOLUME_UNLOCK);
    if (!partitions) {
        return 0;
    }

    const std::string& bootFile = UsbConfiguration::instance()->getBootFile();
    for (int i = 0;; ++i) {
        Sptr<usb::LunInfo> lun = partitions->getLunInfo(i);
        Sptr<PartInfo> part = lun ? lun->getPartInfo() : Sptr<PartInfo>();
        if (!part) {
            return 0;
        }
        const bool cdrom = part->getDiskType() == DISK_CDROM;
        const bool bootCopy = part->getBootType() != 0 && part->getPartitionIndex() == 0 && !cdrom;
        const bool folderCopy = !bootCopy && !part->getCopyPath().empty() && !cdrom;
        if (bootCopy || folderCopy) {
            if (i > 0) {
                volume(device, VOLUME_LOCK);
                CPLOG(7, "Switch Partition %d .....", part->getPartitionIndex());
                if (device->switchPartition(static_cast<unsigned char>(part->getPartitionIndex())) != 0) {
                    CPLOG(3, "%s SwitchPartition failed", device->getName());
                    event->setErrorCode(DeviceCode::PARTITION_SWITCH_FAILED);
                    event->setErrorCause("the switch to partition " + std::to_string(part->getPartitionIndex()) +
                                         " for its content failed");
                    return 0;
                }
                shared_delay(SETTLE_MS);
                volume(device, VOLUME_LOCK_AGAIN);
                volume(device, VOLUME_UNLOCK);
            }
            if (bootCopy) {
                CPLOG(7, "Copy boot files %s .....", bootFile.c_str());
            } else {
                CPLOG(7, "copy %s partition %d", part->getCopyPath().c_str(), i);
            }
            volume(device, VOLUME_UNLOCK);
            const std::string& source = bootCopy ? bootFile : part->getCopyPath();
            if (std::string refusal; !copy(source, target, &refusal)) {
                const std::string failed =
                    (bootCopy ? "Copy boot file " + source + " to disk '" + target + "' failed"
                              : "Copy directory of '" + source + "' on disk '" + drive + "' failed") +
                    (refusal.empty() ? "" : ": " + refusal);
                CPLOG(3, "%s", failed.c_str());
                event->setErrorCode(DeviceCode::FILE_COPY_FAILED);
                event->setErrorCause(failed);
                return 0;
            }
        }
        if (i + 1 >= FileSystemFactory::MAX_UNITS) {
            CPLOG(3, "LUN number %d is too big to used", i + 1);
            return 0;
        }
    }
}

}  // namespace Tessor::schema
