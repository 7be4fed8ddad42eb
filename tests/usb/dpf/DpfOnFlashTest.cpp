// A photo-frame device produced along the whole factory road, its content
// found again by reading the flash the way the frame does: from its table
// through the addresses it holds.
#include <gtest/gtest.h>

#include "DpfRoad.h"

namespace dpf_test {
namespace {

using Tessor::schema::DpfConfig;

Bytes slice(const Bytes& b, size_t at, size_t n) { return Bytes(b.begin() + long(at), b.begin() + long(at + n)); }

class DpfOnFlash : public ::testing::TestWithParam<Variant> {};

TEST_P(DpfOnFlash, EveryAreaIsFoundFromTheTable)
{
    DpfRoad road(GetParam(), 1);
    Sptr<DpfConfig> config(new DpfConfig("RunDpfConfig"));
    config->setMaxImagesCount(200);
    config->getHwControl()->BackLight = 200;
    config->getStateControl()->CurColour = 0x123456;
    config->getStateControl()->BackColour = 0xFF0000;
    config->getStateControl()->WordColour = 0x0000FF;
    config->setMenuItemState(4, 21, false);
    const Bytes table = road.produce(0, config);
    ASSERT_FALSE(table.empty());
    const FlashReader flash = road.reader(0);
    EXPECT_EQ(200, be16(table, 0x02));
    EXPECT_EQ(3, be16(table, 0x04));
    EXPECT_EQ(4, table[0x06]);
    EXPECT_EQ(0x18, table[0x17]);  // 200 + 80
    // Colours in RGB565.
    EXPECT_EQ(0x11AA, be16(table, 0x46));
    EXPECT_EQ(0xF800, be16(table, 0x48));
    EXPECT_EQ(0x001F, be16(table, 0x4A));
    // Photo zones: three photos in the first, none after.
    EXPECT_EQ(3, be16(table, 0x64));
    EXPECT_EQ(0x0000, be16(table, 0x64 + 2) | be16(table, 0x64 + 4));
    EXPECT_EQ((Bytes{100, 115, 80, 87}), slice(table, 0x84, 4));
    EXPECT_EQ(0u, be32(table, 0x118));
    // Menu records: the main menu counts one less; the settings menu lacks
    // the disabled language entry.
    EXPECT_EQ((Bytes{1, 5, 0, 1, 2, 3, 4, 5, 6, 0, 0, 0}), slice(table, 0x138, 12));
    EXPECT_EQ((Bytes{0, 6, 0, 1, 2, 3, 4, 6, 7, 0, 0, 0}), slice(table, 0x168, 12));
    EXPECT_EQ((Bytes{0, 0, 0}), slice(table, 0x15C, 3));

    // Areas 1 to 29 from their first block on, those of several blocks
    // included (the fonts' area and the larger font file's own).
    for (int type = 1; type <= 29; ++type) {
        const uint32_t at = FlashReader::areaAddress(table, type);
        EXPECT_NE(0u, at) << type;
        EXPECT_EQ(0u, at % kSectorsPerBlock) << type;
        const Bytes expected = areaContent(type);
        EXPECT_TRUE(flash.read(at, int64_t(expected.size() / 512)) == expected) << "area " << type;
    }
    EXPECT_GT(areaContent(26).size(), 2u * kSectorsPerBlock * 512);

    // Photos through the photo address table, each padded to its slot.
    for (size_t j = 0; j < photos().size(); ++j) {
        const Bytes expected = padded(contentOf(photos()[j].first, photos()[j].second), 64);
        EXPECT_TRUE(flash.readPhoto(table, j) == expected) << "photo " << j;
    }
    const Bytes addresses = flash.read(be32(table, 0x5C), 1);
    EXPECT_EQ(be32(addresses, 0) + 64u, be32(addresses, 4));
    EXPECT_EQ(0u, be32(addresses, 0) % kSectorsPerBlock);

    // The photo state: the table's head, then three slots taken.
    const Bytes state = flash.read(be32(table, 0x58), 1);
    EXPECT_EQ(slice(table, 0, 132), slice(state, 0, 132));
    EXPECT_EQ(Bytes(48, 0xFF), slice(state, 132, 48));
    EXPECT_EQ((Bytes{0x1F, 0xFF}), slice(state, 180, 2));

    // Books through the e-book directory and its block index; the second
    // title is cut before a double-byte character it cannot hold whole.
    const Bytes directory = flash.readEbookDirectory(table);
    for (size_t k = 0; k < books().size(); ++k) {
        const size_t entry = 32 * k;
        const Book& book = books()[k];
        EXPECT_EQ(k + 1, directory[entry]);
        Bytes title(book.title.begin(), book.title.end());
        title.resize(10, 0xFF);
        EXPECT_EQ(title, slice(directory, entry + 1, 10)) << k;
        EXPECT_EQ(book.size, be32(directory, entry + 15));
        EXPECT_TRUE(flash.readBook(table, directory, k) == contentOf(book.title, book.size)) << "book " << k;
    }
    EXPECT_EQ(books().size() + 1, directory[32 * books().size()]);

    const Bytes movie = padded(contentOf("movie", kMovieSize));
    EXPECT_TRUE(flash.read(be32(table, 0x54), int64_t(movie.size() / 512)) == movie);
}

// A frame of three chips whose first chip is bad from block 60 on: the
// e-book area lies on chip 1, and its block index counts within that chip.
TEST(DpfOnFlashChips, BooksOnALaterChipAreFoundThroughTheBlocksOfTheirChip)
{
    DpfRoad road(Variant{"6716", 1}, 1);
    Sptr<DpfConfig> config(new DpfConfig("RunDpfConfig"));
    config->setMaxImagesCount(200);
    const Bytes table = road.produce(0, config, {{"Device.Chips", "3"}, {"Faults.BadBlocks", "60-1023"}});
    ASSERT_FALSE(table.empty());
    const FlashReader flash = road.reader(0);
    EXPECT_EQ(be32(table, 0x60) / (kBlocks * kSectorsPerBlock), 1u);
    const Bytes directory = flash.readEbookDirectory(table);
    ASSERT_FALSE(books().empty());
    EXPECT_LT(be16(directory, 2048), kBlocks);
    for (size_t k = 0; k < books().size(); ++k) {
        EXPECT_TRUE(flash.readBook(table, directory, k) == contentOf(books()[k].title, books()[k].size)) << "book " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, DpfOnFlash, ::testing::Values(Variant{"6716", 1}, Variant{"6605", 2}));

}  // namespace
}  // namespace dpf_test
