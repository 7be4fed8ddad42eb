// A device slot that is never started: tests call it from their own thread.
#pragma once

#include <gtest/gtest.h>

#include "schema/base/UsbConfiguration.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"

class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        using namespace Tessor::schema;
        UsbConfiguration::instance("");
        UsbConfiguration::instance()->setCurrentFunction(FUNCTION_FACTORY);
        device = new UsbDevice(nullptr, 0, "UDISK-0");
    }
    void TearDown() override { delete device; }

    // The geometry a device in the user function takes from its table.
    void giveGeometry(int chips, int blocks, int pages, int sectors)
    {
        using namespace Tessor;
        schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
        config->setCurrentFunction(schema::FUNCTION_USER);
        Sptr<interim::CfgTable> table(new interim::CfgTable(device, "ConfigTable", interim::CFG_TABLE_DEVICE));
        table->getFlashCtrl()->setDiskInfo(Sptr<schema::DiskInfo>(new schema::DiskInfo(chips, blocks, pages, sectors)));
        device->setCfgTable(table);
        config->setCurrentFunction(schema::FUNCTION_FACTORY);
    }

    Tessor::schema::UsbDevice* device = nullptr;
};
