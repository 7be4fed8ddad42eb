// Folder and CD-image sizes the partition editor turns into sector counts.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempFolder.h"
#include "utils/FileSizes.h"

namespace {

using Tessor::utils::getFileSectorCount;
using Tessor::utils::getFolderSize;
namespace fs = std::filesystem;

constexpr uint64_t kMb = 1024 * 1024;

// A sparse file of `size` bytes; false when the file system cannot hold it.
bool makeFile(const fs::path& path, uint64_t size)
{
    std::ofstream(path, std::ios::binary).flush();
    std::error_code ec;
    fs::resize_file(path, size, ec);
    return !ec;
}

TEST(FileSectorCount, SizeRoundedUpToMegabytesPlusItsMargin)
{
    test_support::TempFolder dir;
    struct Case {
        uint64_t size;
        uint32_t limitMb;
        int64_t sectors;
    };
    const Case cases[] = {
        {0, 0, 6 * 2048},
        {kMb, 0, (1 + 6) * 2048},
        {kMb + 1, 0, (2 + 6) * 2048},
        {99 * kMb, 0, (99 + 6) * 2048},
        {100 * kMb, 0, (100 + 15) * 2048},
        {199 * kMb + 1, 0, (200 + 30) * 2048},
        {50 * kMb, 50, (50 + 6) * 2048},
        {51 * kMb, 50, -1},
        // Past 4 GiB the whole size counts, not its low 32 bits.
        {(4096ull << 20) + 1, 0, (4097 + 30) * 2048ll},
    };
    for (const Case& c : cases) {
        const fs::path file = fs::path(dir.path()) / "cd.iso";
        ASSERT_TRUE(makeFile(file, c.size));
        EXPECT_EQ(c.sectors, getFileSectorCount(file.string(), c.limitMb)) << c.size << " limit " << c.limitMb;
    }
}

TEST(FileSectorCount, RefusesWhatCannotBeMeasuredOrCounted)
{
    test_support::TempFolder dir;
    EXPECT_EQ(0, getFileSectorCount(dir.path() + "/missing.iso", 0));
    EXPECT_EQ(0, getFileSectorCount(dir.path(), 0));  // a folder is no image
    // 2 TiB and more needs more sectors than a 32-bit count holds.
    const fs::path huge = fs::path(dir.path()) / "huge.iso";
    if (makeFile(huge, 2048ull << 30)) {
        EXPECT_EQ(-1, getFileSectorCount(huge.string(), 0));
    }
}

TEST(FolderSize, AddsEveryFileOfTheTree)
{
    test_support::TempFolder dir;
    const fs::path root = fs::path(dir.path()) / "Copy";
    fs::create_directories(root / "Empty");
    EXPECT_EQ(0u, getFolderSize((root / "Empty").string()));
    fs::create_directories(root / "Sub" / "Deeper");
    ASSERT_TRUE(makeFile(root / "a.bin", 10));
    ASSERT_TRUE(makeFile(root / "Sub" / "b.bin", 20));
    ASSERT_TRUE(makeFile(root / "Sub" / "Deeper" / "c.bin", (4096ull << 20) + 30));
    EXPECT_EQ((4096ull << 20) + 60, getFolderSize((root).string()));
    // Written the system's way: "\" between the parts, any letter case.
    EXPECT_EQ((4096ull << 20) + 50, getFolderSize(dir.path() + "\\copy\\SUB"));
    EXPECT_EQ(0u, getFolderSize(dir.path() + "/missing"));
}

}  // namespace
