// A device slot bound to a simulated device made from one of the usbsim
// presets, with the run settings, scan sample, firmware images and page
// patterns a scan engine needs, and readers of what the scan found.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "schema/device/ConfigInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/SimulatedDevice.h"
#include "usb/cfg/CfgTable.h"
#include "schema/event/UiEvent.h"
#include "support/CodeTree.h"
#include "support/DeviceIni.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cmd/BitRange.h"
#include "usb/scan/SampleFactory.h"
#include "usb/scan/ScanBitmapFactory.h"
#include "usb/scan/ScanMode.h"
#include "usbsim/DevicePresets.h"

class ScanEngineFixture : public SimulatedDevice {
public:
    using Keys = test_support::DeviceKeys;

protected:
    struct Geometry {
        int chips = 0;
        int blocks = 0;
        int pages = 0;
        int sectors = 0;
        int64_t sectorsPerBlock() const { return int64_t(pages) * sectors; }
        int64_t total() const { return int64_t(chips) * blocks * sectorsPerBlock(); }
    };

    void SetUp() override
    {
        SimulatedDevice::SetUp();
        using Tessor::usb::SampleFactory;
        if (SampleFactory::instance() == nullptr) {
            ASSERT_EQ(SampleFactory::init((std::filesystem::path(::testing::TempDir()) / "scan_sample.bin").string(), 7),
                      0);
        }
        code = folder / "scancode.bin";
        std::ofstream(code, std::ios::binary) << std::string(4096, '\x5A');
        // The station's working folder, where the firmware images are.
        code_test::makeTree(folder);
        before = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }

    // Plugs a fresh device of the preset, `keys` adding to it ("Faults.X" for
    // fault rules), and sets the run up at scan priority `priority`.
    void use(const std::string& preset, const Keys& keys = {}, int priority = 2)
    {
        ASSERT_EQ(hub->unplug(0), 0);
        hub->waitEventsDelivered();
        plugged() = nullptr;
        Keys all = devicePresets().at(preset);
        all["Device.Drive"] = "SCAN";
        for (const auto& [key, value] : keys) {
            all[key] = value;
        }
        deviceFolder = (folder / (preset + std::to_string(++plugs))).string();
        test_support::writeDeviceIni(deviceFolder, all, {});
        replug();

        using Tessor::schema::UsbConfiguration;
        const std::string chipSet = all.at("Device.Variant");
        UsbConfiguration::instance()->setChipSet(chipSet);
        UsbConfiguration::instance()->addScanCodeImage(chipSet, code.string());
        UsbConfiguration::instance()->addUdiskCodeImage(chipSet, code.string());
        ASSERT_EQ(Tessor::usb::CodeFactory::init(), 0);
        ASSERT_NE(device->readVersionInfo(), nullptr);

        geometry = {std::stoi(all.at("Device.Chips")), std::stoi(all.at("Device.BlocksPerChip")),
                    std::stoi(all.at("Device.PagesPerBlock")), std::stoi(all.at("Device.SectorsPerPage"))};
        const int planes = all.count("Device.MaxPlaneNum") != 0 ? std::stoi(all.at("Device.MaxPlaneNum")) + 1 : 1;
        giveGeometry(geometry.chips, geometry.blocks, geometry.pages, geometry.sectors, planes);
        if (all.count("Device.MaxIntlvNum") != 0) {
            device->getFlashInfo()->getChipInfo()->maxIntlvNum = std::stoi(all.at("Device.MaxIntlvNum"));
        }
        if (all.count("Device.RealBlocksPerChip") != 0) {
            Tessor::usb::_FLASH_CHIP_INFO* chip = device->getFlashInfo()->getChipInfo();
            chip->TLC = 1;
            chip->RealBlockPerChip = std::stoi(all.at("Device.RealBlocksPerChip"));
            chip->RealPagePerBlock = std::stoi(all.at("Device.RealPagesPerBlock"));
        }
        Sptr<Tessor::schema::ConfigInfo> settings(new Tessor::schema::ConfigInfo());
        Sptr<Tessor::schema::ScanConfig> scan(new Tessor::schema::ScanConfig(device, "ScanConfig"));
        scan->setScanLevel(1);
        scan->setScanPriority(priority);
        settings->setScanConfig(scan);
        EXPECT_EQ(device->setConfigInfo(settings), 0);
        // The device's own table, laid out for the variant configured above.
        device->setCfgTable(Sptr<Tessor::usb::CfgTable>(
            new Tessor::usb::CfgTable(device, "ConfigTable", Tessor::usb::CFG_TABLE_DEVICE)));

        Sptr<Tessor::usb::ScanBitmapFactory> patterns;
        ASSERT_EQ(Tessor::usb::ScanBitmapFactory::create(device, patterns), 0);
        device->setScanBitmapFactory(patterns);
    }

    // The device of the last `use` plugged in again, its flash as it was left.
    void replug()
    {
        if (hub->device(0)) {
            ASSERT_EQ(hub->unplug(0), 0);
            hub->waitEventsDelivered();
        }
        plugged() = nullptr;
        std::string error;
        ASSERT_EQ(hub->plug(0, deviceFolder, &error), 0) << error;
        hub->waitEventsDelivered();
        ASSERT_NE(plugged().load(), nullptr);
        device->setDev(plugged().load());
    }

    // The mode the full scan runs with, as the scan task makes it.
    void givePageMode(_SCAN_PAGE_MODE page)
    {
        Sptr<Tessor::usb::ScanMode> mode(new Tessor::usb::ScanMode(SCAN_BLOCK_ALL, "OptimizedScanBlockMode"));
        mode->setScanBitmap(device->getScanBitmapFactory()->getScanBitmap(page));
        device->setScanMode(mode);
    }

    void TearDown() override
    {
        hub->setCancelHook(nullptr);
        delete Tessor::usb::CodeFactory::instance();
        std::filesystem::current_path(before);
        SimulatedDevice::TearDown();
    }

    // The device's "CancelAfter" rule makes the operator stop the run, as the UI posts it.
    void cancelWhenAsked()
    {
        hub->setCancelHook([this](int, int) {
            device->reportEvent(
                Sptr<Tessor::schema::BaseEvent>(new Tessor::schema::UiEvent(Tessor::schema::UI_SIG_CANCEL)));
        });
    }

    static std::set<int64_t> setBits(const unsigned char* bits, int64_t count)
    {
        std::set<int64_t> out;
        for (int64_t i = 0; i < count; ++i) {
            if (Tessor::usb::BitRange::test(bits, i)) {
                out.insert(i);
            }
        }
        return out;
    }

    // Every sector of the listed blocks and the listed sectors.
    std::set<int64_t> sectorsOf(const std::vector<int64_t>& blocks, const std::set<int64_t>& sectors = {}) const
    {
        std::set<int64_t> out = sectors;
        for (int64_t b : blocks) {
            for (int64_t s = 0; s < geometry.sectorsPerBlock(); ++s) {
                out.insert(b * geometry.sectorsPerBlock() + s);
            }
        }
        return out;
    }

    static std::string listOf(const std::set<int64_t>& values)
    {
        std::string text;
        for (int64_t v : values) {
            text += (text.empty() ? "" : ",") + std::to_string(v);
        }
        return text;
    }

    Geometry geometry;
    std::string deviceFolder;
    std::filesystem::path code;
    std::filesystem::path before;
    int plugs = 0;
};
