// A device slot that is never started: tests call it from their own thread.
#pragma once

#include <gtest/gtest.h>

#include "schema/base/UsbConfiguration.h"
#include "support/TempFolder.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/ops/UsbProduction.h"
#include "usb/profile/FlashInfo.h"

class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        using namespace Tessor::schema;
        UsbConfiguration::instance("");
        // What a run saves beside its log goes into a folder of the process's own.
        static const test_support::TempFolder outputs;
        UsbConfiguration::instance()->setLogFilename(outputs.path() + "/station.log");
        UsbConfiguration::instance()->setCurrentFunction(FUNCTION_FACTORY);
        // The slot makes its photo-frame content when it is made.
        UsbConfiguration::instance()->setDpfSupport(photoFrame);
        Tessor::usb::installUsbProduction();
        device = new UsbDevice(nullptr, 0, "UDISK-0");
    }
    void TearDown() override { delete device; }

    // The geometry identification gives the device.
    void giveGeometry(int chips, int blocks, int pages, int sectors, int planes = 1)
    {
        Sptr<Tessor::usb::FlashInfo> flash(new Tessor::usb::FlashInfo());
        flash->setChipsPerDisk(chips);
        flash->getChipInfo()->BlockPerChip = blocks;
        flash->getChipInfo()->PagePerBlock = pages;
        flash->getChipInfo()->SectorPerPage = sectors;
        flash->getChipInfo()->maxPlaneNum = planes - 1;
        device->setFlashInfo(flash);
    }

    // A station of photo frames, set before SetUp.
    bool photoFrame = false;
    Tessor::schema::UsbDevice* device = nullptr;
};
