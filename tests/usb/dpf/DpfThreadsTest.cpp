// Twenty photo-frame devices produced at once along the whole road from one
// configuration: they share the data files of the menus and fonts, which
// only ever get read, and each keeps what it took while the pictures and
// settings change under the others.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "DpfRoad.h"

namespace dpf_test {
namespace {

using Tessor::schema::DpfConfig;

constexpr int kDevices = 20;

Bytes fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The photos of one device through its photo address table, as many as `count`.
Bytes photosOnFlash(const FlashReader& flash, const Bytes& table, size_t count)
{
    Bytes all;
    for (size_t j = 0; j < count; ++j) {
        const Bytes photo = flash.readPhoto(table, j);
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

TEST(DpfThreads, TwentyDevicesShareTheDataAndKeepWhatTheyTook)
{
    DpfRoad road(Variant{"6716", 1}, kDevices + 1);
    Sptr<DpfConfig> config(new DpfConfig("Shared"));
    config->setMaxImagesCount(64);
    config->getHwControl()->BackLight = 200;

    // The logo redrawn the way a page converts a picture (written beside,
    // then put in place), and the photos and a setting changed together,
    // while the devices are being started and produced.
    const fs::path logo = DpfRoad::station() / "releases/dpf/menu/english/logo/Logo.img";
    const Bytes oldLogo = fileBytes(logo);
    const Bytes newLogo = contentOf("new logo", oldLogo.size());
    const std::vector<std::pair<std::string, size_t>> newPhotos = {{"q1.img", 32768}, {"q2.img", 1000}};
    for (const auto& [name, size] : newPhotos) {
        writeFile(DpfRoad::station() / "releases/dpf/photo2" / name, contentOf(name, size));
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
    for (int port = 0; port < kDevices; ++port) {
        road.start(port, config);
        if (port < kDevices / 4) {
            road.waitStarted(port);
        }
        ++started;
    }
    page.join();
    road.start(kDevices, config);
    for (int port = 0; port <= kDevices; ++port) {
        EXPECT_EQ(builtReports(port), road.finish(port, std::chrono::seconds(300)));
    }

    const Bytes oldArea = areaContent(12);
    Bytes newArea = oldArea;
    std::copy(newLogo.begin(), newLogo.end(), newArea.begin());
    const Bytes fonts = areaContent(26);
    const Bytes oldPhotos = photosOf(photos());
    const Bytes newPhotosOnFlash = photosOf(newPhotos);
    // What a device holds: 0 the old logo, 1 the new; likewise for the
    // photos with their setting.
    const auto examine = [&](int port, int* logoSet, int* photoSet) {
        const FlashReader flash = road.reader(port);
        const Bytes table = flash.findDpfTable();
        ASSERT_FALSE(table.empty()) << port;
        EXPECT_TRUE(flash.read(FlashReader::areaAddress(table, 26), int64_t(fonts.size() / 512)) == fonts) << port;
        const Bytes area = flash.read(FlashReader::areaAddress(table, 12), int64_t(oldArea.size() / 512));
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
    for (int port = 0; port < kDevices; ++port) {
        int logoSet = -1;
        int photoSet = -1;
        examine(port, &logoSet, &photoSet);
        EXPECT_NE(-1, logoSet) << "a mixed logo area on device " << port;
        EXPECT_NE(-1, photoSet) << "mixed photos or settings on device " << port;
        if (port < kDevices / 4) {  // started before the change
            EXPECT_EQ(0, logoSet) << port;
            EXPECT_EQ(0, photoSet) << port;
        }
    }
    int logoSet = -1;
    int photoSet = -1;
    examine(kDevices, &logoSet, &photoSet);
    EXPECT_EQ(1, logoSet);
    EXPECT_EQ(1, photoSet);
    writeFile(logo, oldLogo);
}

}  // namespace
}  // namespace dpf_test
