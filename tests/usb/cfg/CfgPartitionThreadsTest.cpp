#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "PartitionSettings.h"
#include "usb/cfg/CfgPartition6716.h"

using namespace Tessor::usb;

namespace {

std::vector<uint8_t> finishedRecord(Tessor::schema::ConfigInfo& settings)
{
    CfgPartition6716 item(nullptr);
    std::vector<uint8_t> record(65, 0);
    EXPECT_EQ(0, item.finish(settings, "Login.iso"));
    item.serialize(record.data());
    return record;
}

// Every device of a run reads the same settings at once.
TEST(CfgPartitionThreads, TwentyDevicesFinishOnSharedSettingsAndAgree)
{
    Sptr<Tessor::schema::ConfigInfo> settings =
        makeSettings(1000000, 3000000, {{100000, true}, {200000}, {2700000}});
    const std::vector<uint8_t> reference = finishedRecord(*settings);

    constexpr int kDevices = 20;
    std::vector<std::vector<uint8_t>> records(kDevices);
    std::vector<std::thread> threads;
    for (int i = 0; i < kDevices; ++i) {
        threads.emplace_back([&, i] { records[i] = finishedRecord(*settings); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (const std::vector<uint8_t>& record : records) {
        EXPECT_EQ(reference, record);
    }
    EXPECT_EQ(100000u, settings->getPartInfo(0)->getCapacity());
    EXPECT_EQ(2700000u, settings->getPartInfo(2)->getCapacity());
}

}  // namespace
