// Photo-frame devices of the simulated device library, one per port, each
// with a device slot that has photo-frame support and a flash without bad
// blocks, waiting for production; and a reader of their flash that goes to
// the simulated flash directly.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/DpfTree.h"
#include "platform/orrin/Orrin.h"
#include "platform/taval/Hub.h"
#include "platform/taval/Taval.h"
#include "platform/taval/VirtualDevice.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfConfig.h"
#include "schema/dpf/DpfDataFactory.h"
#include "schema/dpf/DpfDevice.h"
#include "schema/event/DeviceEvent.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/profile/FlashInfo.h"
#include "usb/task/lFormat/TaskLfAllocateAddr4Dpf.h"

namespace dpf_test {

struct Geometry {
    const char* variant;
    int blocks;
    int pages;
    int sectors;
    int perBlock() const { return pages * sectors; }
};

// Every test program works in one tree, made once; the process's data
// factory reads it from the working folder.
inline const fs::path& treeRoot()
{
    static const fs::path root = [] {
        fs::path r = fs::path(::testing::TempDir()) / ("dpf_tree_" + std::to_string(::getpid()));
        fs::remove_all(r);
        makeTree(r);
        fs::current_path(r);
        Tessor::schema::UsbConfiguration::instance("");
        Tessor::schema::UsbConfiguration::instance()->setDpfSupport(true);
        Tessor::schema::DpfDataFactory::instance()->init();
        return r;
    }();
    return root;
}

class FlashReader {
public:
    explicit FlashReader(std::shared_ptr<Tessor::taval::VirtualDevice> device) : m_device(std::move(device)) {}

    Bytes read(int64_t sector, int64_t count) const
    {
        Bytes out(static_cast<size_t>(count) * 512);
        for (int64_t done = 0; done < count;) {
            const int n = static_cast<int>(std::min<int64_t>(64, count - done));
            int length = 0;
            EXPECT_TRUE(m_device->readFlash(0, sector + done, n, out.data() + done * 512, n * 512, &length));
            done += n;
        }
        return out;
    }

private:
    std::shared_ptr<Tessor::taval::VirtualDevice> m_device;
};

inline uint32_t be32(const Bytes& b, size_t at)
{
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}
inline uint16_t be16(const Bytes& b, size_t at) { return static_cast<uint16_t>((b[at] << 8) | b[at + 1]); }

// The frame's table: the first sector of a block with its magic; empty when none.
inline Bytes findDpfTable(const FlashReader& flash, const Geometry& g)
{
    for (int block = 0; block < g.blocks; ++block) {
        Bytes sector = flash.read(int64_t(block) * g.perBlock(), 1);
        if (sector[0] == 0x55 && sector[1] == 0xAA && sector[7] == 0x50) {
            return sector;
        }
    }
    return Bytes();
}

// The e-book directory: 32-byte entries (number, 10-byte title, logical
// sector, size), then the block index from byte 2048.
inline Bytes readEbookDirectory(const FlashReader& flash, const Bytes& table) { return flash.read(be32(table, 0x60), 4 + 20); }

// The bytes of the book of directory entry `entry`, through the block index.
inline Bytes readBook(const FlashReader& flash, const Bytes& directory, size_t entry, const Geometry& g)
{
    const uint32_t logical = be32(directory, 32 * entry + 11);
    const uint32_t size = be32(directory, 32 * entry + 15);
    Bytes read;
    for (uint32_t s = logical; read.size() < size; ++s) {
        const uint32_t block = be16(directory, 2048 + 2 * (s / uint32_t(g.perBlock())));
        const Bytes sector = flash.read(int64_t(block) * g.perBlock() + s % uint32_t(g.perBlock()), 1);
        read.insert(read.end(), sector.begin(), sector.end());
    }
    read.resize(size);
    return read;
}

class DpfStation {
public:
    explicit DpfStation(int ports) : m_slots(static_cast<size_t>(ports))
    {
        treeRoot();
        for (auto& r : records()) {
            r = nullptr;
        }
        m_init.deviceCount = ports;
        m_init.callback = onEvent;
        EXPECT_EQ(initDevices(&m_mgr, &m_init), 0);
        m_hub = Tessor::taval::Hub::of(&m_mgr);
    }

    ~DpfStation()
    {
        destoryDevices(&m_mgr);
        for (Slot& slot : m_slots) {
            delete slot.device;
            fs::remove_all(slot.folder);
        }
    }

    // A device slot in the waiting state with the device plugged into `port`.
    Tessor::schema::UsbDevice* plug(int port, const Geometry& g)
    {
        using namespace Tessor::schema;
        Slot& slot = m_slots[static_cast<size_t>(port)];
        slot.geometry = g;
        slot.folder = fs::path(::testing::TempDir()) / ("dpf_dev_" + std::to_string(::getpid()) + "_" +
                                                        std::to_string(port));
        fs::remove_all(slot.folder);
        fs::create_directories(slot.folder);
        std::ofstream(slot.folder / "device.ini")
            << "[Device]\nVariant=" << g.variant << "\nDrive=DPF" << port << "\nChips=1\nBlocksPerChip=" << g.blocks
            << "\nPagesPerBlock=" << g.pages << "\nSectorsPerPage=" << g.sectors << "\nLogicalSectors=4096\n";
        std::string error;
        EXPECT_EQ(m_hub->plug(port, slot.folder.string(), &error), 0) << error;
        m_hub->waitEventsDelivered();
        EXPECT_NE(records()[static_cast<size_t>(port)].load(), nullptr);
        slot.device = new UsbDevice(nullptr, port, "UDISK-" + std::to_string(port));
        slot.device->setDev(records()[static_cast<size_t>(port)].load());
        Sptr<Tessor::usb::FlashInfo> flash(new Tessor::usb::FlashInfo());
        flash->setChipsPerDisk(1);
        flash->getChipInfo()->BlockPerChip = g.blocks;
        flash->getChipInfo()->PagePerBlock = g.pages;
        flash->getChipInfo()->SectorPerPage = g.sectors;
        slot.device->setFlashInfo(flash);
        slot.device->setSectorBitmap(Sptr<Tessor::usb::SectorBitmap>(new Tessor::usb::SectorBitmap(slot.device, "SectorBitmap")));
        slot.device->setState(slot.device->findState(STATE_WAIT));
        return slot.device;
    }

    // What the low-level format does with the photo-frame content of a device,
    // up to the writing of the areas (`inject` runs once the device took its
    // settings and data). Gives the task's failure, or the result of writing
    // the areas.
    static int produce(Tessor::schema::UsbDevice* device, const Sptr<Tessor::schema::DpfConfig>& config,
                       int* errorCode, const std::function<void(Tessor::schema::UsbDevice*)>& inject = {})
    {
        using namespace Tessor::schema;
        DpfDevice* dpf = device->getDpfDevice();
        dpf->setDpfConfig(config);
        if (inject) {
            inject(device);
        }
        Sptr<BaseEvent> event(new DeviceEvent(DEV_SIG_CREATE_BLOCK_SET));
        TaskLfAllocateAddr4Dpf task(TASK_ALLOCATE_DPF, "LF::AllocateAddr4Dpf");
        const int allocated = task.startup(device, event);
        *errorCode = event->getErrorCode();
        if (allocated != 0) {
            return allocated;
        }
        dpf->finish(device);
        return dpf->writeFlash(device);
    }

    FlashReader reader(int port) const { return FlashReader(m_hub->device(port)); }
    const Geometry& geometry(int port) const { return m_slots[static_cast<size_t>(port)].geometry; }

private:
    struct Slot {
        Tessor::schema::UsbDevice* device = nullptr;
        fs::path folder;
        Geometry geometry{};
    };

    static std::array<std::atomic<_USB_DEVICE_T*>, 64>& records()
    {
        static std::array<std::atomic<_USB_DEVICE_T*>, 64> list{};
        return list;
    }

    static int onEvent(DEVICE_INIT_T* /*init*/, DEVICE_EVENT_T* event)
    {
        if (event->kind == HW_EVT_PLUG_IN && event->deviceIndex >= 0 && event->deviceIndex < 64) {
            records()[static_cast<size_t>(event->deviceIndex)] = event->device;
        }
        shared_free(event);
        return 0;
    }

    std::vector<Slot> m_slots;
    DEVICE_MGR_T m_mgr{};
    DEVICE_INIT_T m_init{};
    Tessor::taval::Hub* m_hub = nullptr;
};

}  // namespace dpf_test
