// Twenty photo-frame devices produced at once from one configuration: they
// share the data files of the menus and fonts, which only ever get read, and
// each keeps what it took while the pictures and settings change under them.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
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

Bytes fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The photos of one device through its photo address table, as many as `count`.
Bytes photosOnFlash(const FlashReader& flash, const Bytes& table, size_t count)
{
    const Bytes addresses = flash.read(be32(table, 0x5C), 1);
    Bytes all;
    for (size_t j = 0; j < count; ++j) {
        const Bytes photo = flash.read(be32(addresses, 4 * j), 64);
        all.insert(all.end(), photo.begin(), photo.end());
    }
    return all;
}

Bytes photosOf(const std::vector<std::pair<std::string, size_t>>& list)
{
    Bytes all;
    for (const auto& [name, size] : list) {
        const Bytes photo = padded(contentOf(name, size), 64);
        all.insert(all.end(), photo.begin(), photo.end());
    }
    return all;
}

TEST(DpfThreads, EachDeviceKeepsTheContentItStartedWith)
{
    constexpr int kDevices = 20;
    const Geometry g{"6716", 1024, 64, 4};
    DpfStation station(kDevices + 1);
    std::vector<Tessor::schema::UsbDevice*> devices;
    for (int port = 0; port <= kDevices; ++port) {
        devices.push_back(station.plug(port, g));
    }
    Sptr<DpfConfig> config(new DpfConfig("Shared"));
    config->setMaxImagesCount(64);
    config->getHwControl()->BackLight = 200;

    // The logo redrawn the way a page converts a picture (written beside,
    // then put in place), and the photos and a setting changed together.
    const fs::path logo = treeRoot() / "releases/dpf/menu/english/logo/Logo.img";
    const Bytes oldLogo = fileBytes(logo);
    const Bytes newLogo = contentOf("new logo", oldLogo.size());
    const std::vector<std::pair<std::string, size_t>> newPhotos = {{"q1.img", 32768}, {"q2.img", 1000}};
    for (const auto& [name, size] : newPhotos) {
        writeFile(treeRoot() / "releases/dpf/photo2" / name, contentOf(name, size));
    }
    std::atomic<int> started{0};
    std::thread page([&] {
        while (started.load() < kDevices / 4) {
            std::this_thread::yield();
        }
        writeFile(logo.string() + ".new", newLogo);
        fs::rename(logo.string() + ".new", logo);
        const auto edit = DpfConfig::lockEdits();
        config->setHome4Photo("releases\\dpf\\photo2\\");
        config->getHwControl()->BackLight = 100;
    });
    std::vector<int> results(kDevices, -1);
    std::vector<int> codes(kDevices, -1);
    std::vector<std::thread> threads;
    for (int port = 0; port < kDevices; ++port) {
        threads.emplace_back([&, port] {
            results[port] = DpfStation::produce(devices[port], config, &codes[port], [&](auto*) { ++started; });
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    page.join();

    const Bytes oldArea = areaContent(12);
    Bytes newArea = oldArea;
    std::copy(newLogo.begin(), newLogo.end(), newArea.begin());
    const Bytes oldPhotos = photosOf(photos());
    const Bytes newPhotosOnFlash = photosOf(newPhotos);
    // What one device holds: 0 the old logo, 1 the new; likewise for the
    // photos with their setting.
    const auto examine = [&](int port, int* logoSet, int* photoSet) {
        const FlashReader flash = station.reader(port);
        const Bytes table = findDpfTable(flash, g);
        ASSERT_FALSE(table.empty()) << port;
        const Bytes area = flash.read(be32(table, 0xB0 + 4 * 11), int64_t(oldArea.size() / 512));
        *logoSet = area == oldArea ? 0 : area == newArea ? 1 : -1;
        const uint16_t photoCount = be16(table, 0x64);
        const Bytes onFlash = photosOnFlash(flash, table, photoCount);
        if (photoCount == photos().size() && onFlash == oldPhotos && table[0x17] == uint8_t(200 + 80)) {
            *photoSet = 0;
        } else if (photoCount == newPhotos.size() && onFlash == newPhotosOnFlash && table[0x17] == 100 + 80) {
            *photoSet = 1;
        } else {
            *photoSet = -1;
        }
    };
    int oldOnes = 0;
    for (int port = 0; port < kDevices; ++port) {
        EXPECT_EQ(0, results[port]) << port;
        EXPECT_EQ(0, codes[port]) << port;
        int logoSet = -1;
        int photoSet = -1;
        examine(port, &logoSet, &photoSet);
        EXPECT_NE(-1, logoSet) << "a mixed logo area on device " << port;
        EXPECT_NE(-1, photoSet) << "mixed photos or settings on device " << port;
        oldOnes += logoSet == 0 && photoSet == 0;
    }
    EXPECT_GE(oldOnes, kDevices / 4);  // the devices started before the change

    int code = -1;
    ASSERT_EQ(0, DpfStation::produce(devices[kDevices], config, &code));
    int logoSet = -1;
    int photoSet = -1;
    examine(kDevices, &logoSet, &photoSet);
    EXPECT_EQ(1, logoSet);
    EXPECT_EQ(1, photoSet);
    writeFile(logo, oldLogo);
}

}  // namespace
}  // namespace dpf_test
