#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BitmapFixture.h"
#include "platform/taval/Taval.h"
#include "schema/base/VException.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/DiskInfo.h"
#include "usb/cmd/BlockBitmap.h"

namespace Tessor::usb::test {
namespace {

TEST(SectorBitmapMerge, StaysInsideTheBitmapAndOnlyAddsBadSectors)
{
    SectorBitmap bitmap(geometry(1, 8, 64, 8), "SectorBitmap");
    const int length = bitmap.getLength();
    ASSERT_EQ(length, 8 * 64);
    std::vector<unsigned char> failing(static_cast<size_t>(length), 0);
    failing[0] = 0x81;
    failing[length - 3] = 0x10;

    EXPECT_EQ(bitmap.updateBitmap(failing.data(), length - 2, 16), 0);
    std::vector<unsigned char> once(bitmap.getBitmap(), bitmap.getBitmap() + length);
    EXPECT_EQ(once[2], 0x81);
    EXPECT_EQ(once[length - 1], 0x10);
    EXPECT_EQ(bitmap.updateBitmap(failing.data(), length - 2, 16), 0);
    EXPECT_EQ(0, std::memcmp(once.data(), bitmap.getBitmap(), static_cast<size_t>(length)));

    EXPECT_EQ(bitmap.updateBitmap(failing.data(), length - 1, 16), -1);
    EXPECT_EQ(bitmap.updateBitmap(failing.data(), 1, -8), -1);
    EXPECT_EQ(0, std::memcmp(once.data(), bitmap.getBitmap(), static_cast<size_t>(length)));

    // A start inside a byte still lands on that byte.
    const unsigned char one = 0x40;
    EXPECT_EQ(bitmap.updateBitmap(&one, 1, 12), 0);
    EXPECT_EQ(bitmap.getBitmap()[1], 0x40);
}

TEST(SectorBitmapMerge, PageResultsReplaceTheBitsOfTheListedPages)
{
    SectorBitmap bitmap(geometry(1, 8, 16, 4), "SectorBitmap");
    Sptr<schema::DiskInfo> disk(new schema::DiskInfo(1, 8, 16, 4));
    Sptr<schema::BaseAddress> pages(new schema::BaseAddress(disk, 0));
    for (int block : {2, 5, 7}) {
        pages->addData(Sptr<schema::BaseAddress>(new schema::BaseAddress(disk, int(sectorOf(bitmap, block, 3, 0)))));
    }
    bitmap.setAsBad(5);
    // one word: page results 0x2 (block 2), 0x0 (block 5), 0xF (block 7), then no fourth address
    const unsigned char results[] = {0x02 | 0x00, 0x0F | 0x90};
    EXPECT_EQ(bitmap.updateBitmap(results, 2, pages), 0);
    EXPECT_TRUE(isBad(bitmap, 2, 3, 1));
    EXPECT_FALSE(isBad(bitmap, 2, 3, 0));
    EXPECT_EQ(badInBlock(bitmap, 5), 16 * 4 - 4);   // a good result clears what was bad
    EXPECT_EQ(badInBlock(bitmap, 7), 4);
}

TEST(SectorBitmapFile, ReadsWhatTheFileHoldsAndJudgesTheBlocks)
{
    const std::string path = ::testing::TempDir() + "/sector_bitmap_file";
    std::vector<unsigned char> saved(8, 0);
    saved[4] = 0x01;   // sector 32: block 1 with 8 sectors per page and 4 pages per block
    ASSERT_EQ(usbWriteFile(path.c_str(), saved.data(), int(saved.size()), 0), int(saved.size()));
    SectorBitmap bitmap(geometry(1, 8, 4, 8), "SectorBitmap");
    EXPECT_EQ(bitmap.readOutDataFromFile(path), 0);
    EXPECT_TRUE(isBad(bitmap, 1, 0, 0));
    EXPECT_TRUE(bitmap.getBlockBitmap()->isBad(1));
    EXPECT_EQ(bitmap.getBlockBitmap()->getValideBlocks(), 7);
    EXPECT_EQ(bitmap.readOutDataFromFile(path + ".missing"), -1);
}

TEST(SectorBitmapGeometry, FlashTheBitmapsCannotDescribeFailsOnlyThatDevice)
{
    const BitmapGeometry cases[] = {
        geometry(1, 8, 64, 32),        // more than 16 sectors per page
        geometry(1, 8, 64, 3),         // pages not a divisor of a 16-bit word
        geometry(4, 4096, 256, 16),    // more sectors than the image can hold
        geometry(0, 8, 64, 4),
    };
    for (const BitmapGeometry& g : cases) {
        try {
            SectorBitmap bitmap(g, "SectorBitmap");
            ADD_FAILURE() << "built a bitmap for S=" << g.sectorsPerPage << " chips=" << g.chips;
        } catch (const BitmapException& e) {
            EXPECT_EQ(e.getCode(), 0x8026);
            EXPECT_EQ(std::string(e.what()).rfind("The sector bitmap cannot map this device: ", 0), 0u) << e.what();
            EXPECT_STREQ(e.getName(), "Bitmap Initial Exception");
        }
    }
    // The largest flash the image holds is still mapped.
    SectorBitmap largest(geometry(1, 15744, 256, 16), "SectorBitmap");
    EXPECT_LE(largest.getL2SectorCount(), 123);
}

TEST(SectorBitmapGeometry, ImageSizesFollowTheBitmapLength)
{
    // 128 bitmap sectors take one L2 sector; one more needs a second.
    SectorBitmap exact(geometry(1, 1024, 64, 8), "SectorBitmap");
    EXPECT_EQ(exact.getL2SectorCount(), 1);
    EXPECT_EQ(exact.getImageSectorCount(), 130);
    SectorBitmap bigger(geometry(1, 1032, 64, 8), "SectorBitmap");
    EXPECT_EQ(bigger.getL2SectorCount(), 2);
}

struct UpdateCase {
    const char* name;
    BitmapGeometry geometry;
    int priority;
    std::function<void(SectorBitmap&)> scan;
    std::function<void(const SectorBitmap&)> check;
};

void badSectors(SectorBitmap& b, int block, int count)
{
    const int perPage = b.getGeometry().sectorsPerPage;
    for (int i = 0; i < count; ++i) {
        markBad(b, block, i / perPage, i % perPage);
    }
}

const BitmapGeometry kMlc8 = geometry(1, 8, 128, 8);      // P*S = 1024
const BitmapGeometry kMlc4 = geometry(1, 8, 64, 4);
const BitmapGeometry kMlc16 = geometry(1, 8, 64, 16);
const BitmapGeometry kTlc256 = tlcGeometry(1, 8, 6, 256, 192, 16);
const BitmapGeometry kTlc128 = tlcGeometry(1, 8, 6, 128, 94, 8);

const UpdateCase kUpdateCases[] = {
    {"FirstPageBadCondemnsDataPages", kMlc8, 3, [](SectorBitmap& b) { markBad(b, 2, 0, 5); },
        [](const SectorBitmap& b) {
            EXPECT_EQ(badInBlock(b, 2), 128 * 8);
            EXPECT_TRUE(b.getBlockBitmap()->isBad(2));
        }},
    {"CleanFirstPageClearsLaterFindings", kMlc8, 3, [](SectorBitmap& b) { markBad(b, 2, 40, 1); },
        [](const SectorBitmap& b) {
            EXPECT_EQ(badInBlock(b, 2), 0);
            EXPECT_FALSE(b.getBlockBitmap()->isBad(2));
        }},
    {"NinetyPercentRule922IsWholeBlock", kMlc8, 0, [](SectorBitmap& b) { badSectors(b, 1, 922); },
        [](const SectorBitmap& b) { EXPECT_EQ(badInBlock(b, 1), 1024); }},
    {"NinetyPercentRule921StaysAsFound", kMlc8, 0, [](SectorBitmap& b) { badSectors(b, 1, 921); },
        [](const SectorBitmap& b) {
            EXPECT_EQ(badInBlock(b, 1), 921);
            EXPECT_TRUE(b.getBlockBitmap()->isBad(1));
        }},
    {"NinetyPercentRuleNotAtPriority3", kMlc8, 3, [](SectorBitmap& b) { badSectors(b, 1, 1000); },
        [](const SectorBitmap& b) { EXPECT_EQ(badInBlock(b, 1), 128 * 8); }},
    {"Priority2WidensEightSectorPage", kMlc8, 2, [](SectorBitmap& b) { markBad(b, 3, 7, 2); },
        [](const SectorBitmap& b) {
            EXPECT_EQ(badInBlock(b, 3), 8);
            EXPECT_TRUE(isBad(b, 3, 7, 0));
            EXPECT_TRUE(isBad(b, 3, 7, 7));
        }},
    {"Priority2WidensFourSectorPage", kMlc4, 2, [](SectorBitmap& b) { markBad(b, 3, 9, 3); },
        [](const SectorBitmap& b) {
            EXPECT_EQ(badInBlock(b, 3), 4);
            EXPECT_TRUE(isBad(b, 3, 9, 0));
            EXPECT_FALSE(isBad(b, 3, 8, 3));
        }},
    {"Priority2LeavesSixteenSectorPage", kMlc16, 2, [](SectorBitmap& b) { markBad(b, 3, 9, 3); },
        [](const SectorBitmap& b) { EXPECT_EQ(badInBlock(b, 3), 1); }},
    {"Priority1DoesNotWiden", kMlc8, 1, [](SectorBitmap& b) { markBad(b, 3, 7, 2); },
        [](const SectorBitmap& b) { EXPECT_EQ(badInBlock(b, 3), 1); }},
    {"ImplausibleWideningIsDropped", kMlc8, 2,
        [](SectorBitmap& b) {
            // one bad sector in every page: widening would call the whole flash bad
            for (int block = 0; block < 8; ++block) {
                for (int page = 0; page < 128; ++page) {
                    markBad(b, block, page, page % 8);
                }
            }
        },
        [](const SectorBitmap& b) {
            EXPECT_EQ(badInBlock(b, 0), 128);
            EXPECT_FALSE(isBad(b, 0, 0, 1));
        }},
    {"TlcMarksPagesPastDataPages", kTlc256, 0, [](SectorBitmap&) {},
        [](const SectorBitmap& b) {
            EXPECT_FALSE(isBad(b, 0, 191, 15));
            EXPECT_TRUE(isBad(b, 0, 192, 0));
            EXPECT_EQ(badInBlock(b, 4), 64 * 16);
            EXPECT_EQ(b.getBlockBitmap()->isBad(4), false);
            EXPECT_TRUE(b.getBlockBitmap()->isBad(6));  // absent block
        }},
    {"TlcBadDataSectorCondemnsBlock", kTlc256, 0, [](SectorBitmap& b) { markBad(b, 1, 100, 3); },
        [](const SectorBitmap& b) {
            EXPECT_EQ(badInBlock(b, 1), 256 * 16);
            EXPECT_TRUE(b.getBlockBitmap()->isBad(1));
            EXPECT_FALSE(b.getBlockBitmap()->isBad(2));
        }},
    {"TlcEightSectorPagesStayInsideTheSpan", kTlc128, 0, [](SectorBitmap&) {},
        [](const SectorBitmap& b) {
            EXPECT_FALSE(isBad(b, 0, 93, 7));
            EXPECT_TRUE(isBad(b, 0, 94, 0));
            EXPECT_EQ(badInBlock(b, 0), (128 - 94) * 8);
            EXPECT_EQ(badInBlock(b, 7), (128 - 94) * 8);
        }},
    {"TlcMostlyBadFlashIsLeftAsFound", kTlc256, 0,
        [](SectorBitmap& b) {
            for (int block = 0; block < 7; ++block) {
                badSectors(b, block, 256 * 16 * 8 / 10);
            }
        },
        [](const SectorBitmap& b) {
            // the page rule would call too much bad, so it is left out
            EXPECT_EQ(badInBlock(b, 7), 0);
        }},
};

class SectorBitmapUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(SectorBitmapUpdate, CleansUpByPriorityPageSizeAndFlashType)
{
    const UpdateCase& c = GetParam();
    SectorBitmap bitmap(c.geometry, "SectorBitmap");
    c.scan(bitmap);
    EXPECT_EQ(bitmap.cleanUp(c.priority), 0);
    c.check(bitmap);
}

INSTANTIATE_TEST_SUITE_P(Rules, SectorBitmapUpdate, ::testing::ValuesIn(kUpdateCases),
    [](const ::testing::TestParamInfo<UpdateCase>& test) { return std::string(test.param.name); });

TEST(SectorBitmapLists, SpansInsideTheGoodSectorsListTheBlock)
{
    SectorBitmap bitmap(geometry(1, 4, 16, 8), "SectorBitmap");
    for (int page = 0; page < 16; ++page) {
        for (int sector = 4; sector < 8; ++sector) {
            markBad(bitmap, 2, page, sector);
        }
    }
    bitmap.setupList();
    const int s = 8;
    auto listed = [&](int start, int length, int block) {
        for (const _BLOCK_NODE& node : bitmap.getList()[start * s + length - 1]) {
            if (node.blockNo == block) {
                return node.pageCount;
            }
        }
        return 0;
    };
    for (int start = 0; start < 8; ++start) {
        for (int length = 1; start + length <= 8; ++length) {
            const int expected = start + length <= 4 ? 16 : 0;
            EXPECT_EQ(listed(start, length, 2), expected) << "start " << start << " length " << length;
            EXPECT_EQ(listed(start, length, 1), 16) << "clean block, start " << start << " length " << length;
        }
    }
}

TEST(SectorBitmapLists, CountsPagesPerSpanAcrossMixedPages)
{
    SectorBitmap bitmap(geometry(1, 1, 16, 4), "SectorBitmap");
    markBad(bitmap, 0, 0, 1);   // page 0: runs {0}, {2,3}
    markBad(bitmap, 0, 1, 0);   // page 1: run {1,2,3}
    bitmap.setupList();
    auto count = [&](int start, int length) {
        const auto& list = bitmap.getList()[start * 4 + length - 1];
        return list.empty() ? 0 : list.front().pageCount;
    };
    EXPECT_EQ(count(0, 4), 14);
    EXPECT_EQ(count(0, 1), 15);
    EXPECT_EQ(count(2, 2), 16);
    EXPECT_EQ(count(1, 3), 15);
    EXPECT_EQ(count(1, 1), 15);
}

TEST(SectorBitmapPlanes, MultiPlaneBlockCombinesItsPlanesAndSingleViewReturns)
{
    SectorBitmap bitmap(geometry(1, 4, 16, 8), "SectorBitmap");
    markBad(bitmap, 0, 1, 2);
    markBad(bitmap, 1, 5, 7);
    markBad(bitmap, 3, 0, 0);
    std::vector<unsigned char> single(bitmap.getBitmap(), bitmap.getBitmap() + bitmap.getLength());

    ASSERT_EQ(bitmap.setToMultiPlane(2, 1), 0);
    EXPECT_TRUE(isBad(bitmap, 0, 1, 2));
    EXPECT_TRUE(isBad(bitmap, 0, 5, 7));
    EXPECT_EQ(badInBlock(bitmap, 0), 2);
    EXPECT_EQ(badInBlock(bitmap, 1), 1);
    EXPECT_EQ(badInBlock(bitmap, 2), 16 * 8);  // past the multi-plane blocks

    bitmap.setToSinglePlane();
    EXPECT_EQ(0, std::memcmp(single.data(), bitmap.getBitmap(), single.size()));
    EXPECT_EQ(bitmap.setToMultiPlane(3, 1), -1);
}

}  // namespace
}  // namespace Tessor::usb::test
