// Photo-frame devices of the simulated device library, one per port, each
// with a device slot that has photo-frame support and a flash without bad
// blocks, waiting for production: for the tables a device builds, without
// the engine.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/DeviceIni.h"
#include "support/DpfTree.h"
#include "support/TempFolder.h"
#include "platform/orrin/Orrin.h"
#include "platform/taval/Hub.h"
#include "platform/taval/Taval.h"
#include "platform/taval/VirtualDevice.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "schema/dpf/DpfDataFactory.h"
#include "schema/dpf/DpfDevice.h"
#include "schema/state/DeviceStateType.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/profile/FlashInfo.h"

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
        // Removed with the program's static objects at exit.
        static const test_support::TempFolder folder;
        fs::path r = fs::path(folder.path()) / "tree";
        makeTree(r);
        fs::current_path(r);
        Tessor::schema::UsbConfiguration::instance("");
        Tessor::schema::UsbConfiguration::instance()->setDpfSupport(true);
        Tessor::schema::DpfDataFactory::instance()->init();
        return r;
    }();
    return root;
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
        test_support::writeDeviceIni(slot.folder.string(), {{"Device.Variant", g.variant},
                                                            {"Device.Drive", "DPF" + std::to_string(port)},
                                                            {"Device.Chips", "1"},
                                                            {"Device.BlocksPerChip", std::to_string(g.blocks)},
                                                            {"Device.PagesPerBlock", std::to_string(g.pages)},
                                                            {"Device.SectorsPerPage", std::to_string(g.sectors)},
                                                            {"Device.LogicalSectors", "4096"}});
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
