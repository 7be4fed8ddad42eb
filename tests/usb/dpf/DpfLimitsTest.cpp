// Content the frame's areas and tables cannot hold fails only its own
// device, cleanly and with its code, while another device is produced along
// the same road at the same time.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "DpfRoad.h"
#include "support/LogCapture.h"

namespace dpf_test {
namespace {

using Tessor::schema::DpfConfig;

// A content folder of `count` files of `size` bytes, named as the settings
// name folders.
std::string folder(const std::string& name, const char* extension, int count, size_t size)
{
    const fs::path path = DpfRoad::station() / "limits" / name;
    fs::remove_all(path);
    for (int i = 0; i < count; ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "%02d%s", i, extension);
        writeFile(path / file, contentOf(name + file, size));
    }
    return "limits\\" + name + "\\";
}

struct LimitCase {
    const char* name;
    std::function<void(DpfConfig&)> arrange;
    int code;
    const char* line;
    // The menu file replaced while the failing device takes its content.
    size_t menuFileSize = 0;
};

TEST(DpfLimits, EachFailsItsDeviceWhileTheOtherIsBuilt)
{
    test_support::LogCapture log(Tessor::schema::LOG_ERR);
    const std::vector<LimitCase> cases = {
        {"one photo more than the maximum",
         [](DpfConfig& c) {
             c.setMaxImagesCount(4);
             c.setHome4Photo(folder("photos5", ".img", 5, 32768));
         },
         0x8041, "5 photos are more than the 4 a photo frame holds"},
        {"64 books",
         [](DpfConfig& c) {
             c.setMaxImagesCount(64);
             c.setHome4EBook(folder("books64", ".txt", 64, 700));
         },
         0x8041, "64 books are more than the 63 a photo frame holds"},
        {"a photo over 64 sectors",
         [](DpfConfig& c) {
             c.setMaxImagesCount(64);
             c.setHome4Photo(folder("bigphoto", ".img", 1, 40000));
         },
         0x8041, "of 80 sectors does not fit a photo slot of 64 sectors"},
        // Room for 2048 photos and the books leaves no block for the disk.
        {"photo-frame areas that take every block of the disk", [](DpfConfig&) {}, 0x8021,
         "0 multi-plane blocks cannot hold the index tables of a block set"},
        // Room for 2048 photos leaves less than the file needs.
        {"a menu file larger than the flash has room for", [](DpfConfig&) {}, 0x803F,
         "DPF Address Allocation Failed", size_t(32) << 20},
    };
    const fs::path menuFile = DpfRoad::station() / "releases/dpf/menu/english/logo/Logo.img";
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        DpfRoad road(Variant{"6716", 1}, 2);
        Sptr<DpfConfig> limited(new DpfConfig("Limited"));
        c.arrange(*limited);
        Sptr<DpfConfig> normal(new DpfConfig("Normal"));
        normal->setMaxImagesCount(64);
        Bytes kept;
        if (c.menuFileSize != 0) {
            std::ifstream in(menuFile, std::ios::binary);
            kept.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            writeFile(menuFile, contentOf("oversized", c.menuFileSize));
        }
        road.start(0, limited);
        if (c.menuFileSize != 0) {
            road.waitStarted(0);
            writeFile(menuFile, kept);
        }
        road.start(1, normal);
        const std::vector<Report> failed = road.finish(0);
        ASSERT_FALSE(failed.empty());
        EXPECT_EQ((Report{Tessor::schema::UI_SIG_STATUS, 0, c.code}), failed.back());
        EXPECT_NE(std::string::npos, log.text().find(c.line));
        EXPECT_EQ(builtReports(1), road.finish(1));
        const Bytes table = road.reader(1).findDpfTable();
        ASSERT_FALSE(table.empty());
        EXPECT_EQ(3, be16(table, 0x04));
    }
}

}  // namespace
}  // namespace dpf_test
