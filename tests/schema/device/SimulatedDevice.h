// One device slot bound to a device of the simulated library, plugged into
// port 0 from a folder the test writes.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "DeviceFixture.h"
#include "platform/orrin/Orrin.h"
#include "platform/taval/Hub.h"
#include "support/DeviceIni.h"
#include "support/TempFolder.h"

class SimulatedDevice : public DeviceFixture {
protected:
    static constexpr int CHIPS = 2;
    static constexpr int BLOCKS = 64;
    static constexpr int PAGES = 16;
    static constexpr int SECTORS = 4;
    static constexpr int PER_CHIP = BLOCKS * PAGES * SECTORS;

    void SetUp() override
    {
        DeviceFixture::SetUp();
        folder = std::filesystem::path(temp.path()) / "device";
        describe(folder);
        plugged() = nullptr;
        init.deviceCount = 1;
        init.callback = onEvent;
        ASSERT_EQ(initDevices(&mgr, &init), 0);
        hub = Tessor::taval::Hub::of(&mgr);
        std::string error;
        ASSERT_EQ(hub->plug(0, folder.string(), &error), 0) << error;
        hub->waitEventsDelivered();
        ASSERT_NE(plugged().load(), nullptr);
        device->setDev(plugged().load());
        giveGeometry(chips, blocksPerChip, pagesPerBlock, SECTORS);
    }

    void TearDown() override
    {
        destoryDevices(&mgr);
        DeviceFixture::TearDown();
    }

    std::vector<Tessor::taval::OpRecord> opLog() { return hub->device(0)->opLog(); }

    // Pages programmed since operation `from`, in order, as "block:page".
    std::vector<std::string> programmedSince(size_t from, int perBlock = PAGES)
    {
        std::vector<std::string> pages;
        const std::vector<Tessor::taval::OpRecord> log = opLog();
        for (size_t i = from; i < log.size(); ++i) {
            if (log[i].kind == Tessor::taval::OpKind::Program) {
                const int64_t page = log[i].args[1] / SECTORS;
                pages.push_back(std::to_string(page / perBlock) + ":" + std::to_string(page % perBlock));
            }
        }
        return pages;
    }

    // Pulled and plugged again: the controller boots from what its flash holds.
    void replug()
    {
        ASSERT_EQ(hub->unplug(0), 0);
        hub->waitEventsDelivered();
        plugged() = nullptr;
        std::string error;
        ASSERT_EQ(hub->plug(0, folder.string(), &error), 0) << error;
        hub->waitEventsDelivered();
        ASSERT_NE(plugged().load(), nullptr);
        device->setDev(plugged().load());
    }

    static std::atomic<_USB_DEVICE_T*>& plugged()
    {
        static std::atomic<_USB_DEVICE_T*> record{nullptr};
        return record;
    }

    static int onEvent(DEVICE_INIT_T* /*init*/, DEVICE_EVENT_T* event)
    {
        if (event->kind == HW_EVT_PLUG_IN) {
            plugged() = event->device;
        }
        shared_free(event);
        return 0;
    }

    // The device.ini of a device in `own` with this fixture's settings, `more`
    // replacing or adding keys.
    void describe(const std::filesystem::path& own, const test_support::DeviceKeys& more = {}) const
    {
        test_support::DeviceKeys keys = {{"Device.Variant", variant},
                                         {"Device.Drive", "SIMD"},
                                         {"Device.Chips", std::to_string(chips)},
                                         {"Device.BlocksPerChip", std::to_string(blocksPerChip)},
                                         {"Device.PagesPerBlock", std::to_string(pagesPerBlock)},
                                         {"Device.SectorsPerPage", std::to_string(SECTORS)},
                                         {"Device.LogicalSectors", std::to_string(logicalSectors)}};
        for (const auto& [key, value] : extraKeys) {
            keys[key] = value;
        }
        test_support::writeDeviceIni(own.string(), keys, more);
    }

    // The controller variant and further keys of device.ini, set before SetUp.
    std::string variant = "6716";
    // A test of more blocks sets these before SetUp too.
    int chips = CHIPS;
    int blocksPerChip = BLOCKS;
    int pagesPerBlock = PAGES;
    test_support::DeviceKeys extraKeys;
    int64_t logicalSectors = 4096;
    test_support::TempFolder temp;
    std::filesystem::path folder;
    DEVICE_MGR_T mgr{};
    DEVICE_INIT_T init{};
    Tessor::taval::Hub* hub = nullptr;
};
