// Twenty photo-frame devices produced at once from one configuration: they
// share the data files of the menus and fonts, which only ever get read.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "DpfStation.h"

namespace dpf_test {
namespace {

using Tessor::schema::DpfConfig;

TEST(DpfThreads, TwentyDevicesShareTheDataFiles)
{
    constexpr int kDevices = 20;
    const Geometry g{"6716", 1024, 64, 4};
    DpfStation station(kDevices);
    std::vector<Tessor::schema::UsbDevice*> devices;
    for (int port = 0; port < kDevices; ++port) {
        devices.push_back(station.plug(port, g));
    }
    Sptr<DpfConfig> config(new DpfConfig("Shared"));
    config->setMaxImagesCount(64);
    std::vector<int> results(kDevices, -1);
    std::vector<int> codes(kDevices, -1);
    std::vector<std::thread> threads;
    for (int port = 0; port < kDevices; ++port) {
        threads.emplace_back([&, port] { results[port] = DpfStation::produce(devices[port], config, &codes[port]); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    // The fonts' area of every device: 520 sectors over three blocks.
    const Bytes fonts = areaContent(26);
    for (int port = 0; port < kDevices; ++port) {
        EXPECT_EQ(0, results[port]) << port;
        EXPECT_EQ(0, codes[port]) << port;
        const FlashReader flash = station.reader(port);
        const Bytes table = flash.read(int64_t(11) * g.perBlock(), 1);
        ASSERT_EQ(0x55, table[0]) << port;
        const uint32_t at = (uint32_t(table[0xB0 + 4 * 25]) << 24) | (uint32_t(table[0xB0 + 4 * 25 + 1]) << 16) |
                            (uint32_t(table[0xB0 + 4 * 25 + 2]) << 8) | table[0xB0 + 4 * 25 + 3];
        EXPECT_TRUE(flash.read(at, int64_t(fonts.size() / 512)) == fonts) << port;
    }
}

}  // namespace
}  // namespace dpf_test
