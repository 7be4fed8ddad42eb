// A photo-frame device produced on simulated flash, its content found again
// by reading the flash the way the frame does: from the configuration table
// through the addresses it holds.
#include <gtest/gtest.h>

#include "DpfStation.h"

namespace dpf_test {
namespace {

using Tessor::schema::DpfConfig;

Bytes slice(const Bytes& b, size_t at, size_t n) { return Bytes(b.begin() + long(at), b.begin() + long(at + n)); }

class DpfOnFlash : public ::testing::TestWithParam<Geometry> {};

TEST_P(DpfOnFlash, EveryAreaIsFoundFromTheTable)
{
    const Geometry g = GetParam();
    const int perBlock = g.perBlock();
    DpfStation station(1);
    Tessor::schema::UsbDevice* device = station.plug(0, g);
    Sptr<DpfConfig> config(new DpfConfig("RunDpfConfig"));
    config->getHwControl()->BackLight = 200;
    config->getStateControl()->CurColour = 0x123456;
    config->setMenuItemState(4, 21, false);
    int code = 0;
    ASSERT_EQ(0, DpfStation::produce(device, config, &code));
    EXPECT_EQ(0, code);

    // The frame's table: the first sector of a block with the magic.
    const FlashReader flash = station.reader(0);
    const Bytes table = findDpfTable(flash, g);
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(2048, be16(table, 0x02));
    EXPECT_EQ(3, be16(table, 0x04));
    EXPECT_EQ(4, table[0x06]);
    EXPECT_EQ(0x18, table[0x17]);  // 200 + 80
    EXPECT_EQ(0x11AA, be16(table, 0x46));
    EXPECT_EQ(0x0780, be16(table, 0x48));  // 0x00F000: green 0xF0 only
    EXPECT_EQ(0x0000, be16(table, 0x64 + 2) | be16(table, 0x64 + 4));
    EXPECT_EQ(3, be16(table, 0x64));
    EXPECT_EQ((Bytes{100, 115, 80, 87}), slice(table, 0x84, 4));
    // Menu records: the main menu counts one less; the settings menu lacks
    // the disabled language entry.
    EXPECT_EQ((Bytes{1, 5, 0, 1, 2, 3, 4, 5, 6, 0, 0, 0}), slice(table, 0x138, 12));
    EXPECT_EQ((Bytes{0, 6, 0, 1, 2, 3, 4, 6, 7, 0, 0, 0}), slice(table, 0x168, 12));
    EXPECT_EQ((Bytes{0, 0, 0}), slice(table, 0x15C, 3));

    // Areas 1 to 29: each from its first block on, several blocks included.
    for (int type = 1; type <= 29; ++type) {
        const uint32_t at = be32(table, type <= 26 ? 0xB0 + 4 * (type - 1) : 0x11C + 4 * (type - 27));
        EXPECT_NE(0u, at) << type;
        EXPECT_EQ(0u, at % perBlock) << type;
        const Bytes expected = areaContent(type);
        EXPECT_TRUE(flash.read(at, int64_t(expected.size() / 512)) == expected) << "area " << type;
    }

    // Photos through the photo address table, each padded to its slot.
    const uint32_t map = be32(table, 0x5C);
    const Bytes addresses = flash.read(map, 1);
    for (size_t j = 0; j < photos().size(); ++j) {
        const uint32_t at = be32(addresses, 4 * j);
        const Bytes expected = padded(contentOf(photos()[j].first, photos()[j].second), 64);
        EXPECT_TRUE(flash.read(at, 64) == expected) << "photo " << j;
    }
    EXPECT_EQ(be32(addresses, 0) + 64u, be32(addresses, 4));

    // The photo state: the table's head, then three slots taken.
    const Bytes state = flash.read(be32(table, 0x58), 1);
    EXPECT_EQ(slice(table, 0, 132), slice(state, 0, 132));
    EXPECT_EQ((Bytes{0x1F, 0xFF}), slice(state, 180, 2));

    // Books through the e-book directory and its block index.
    const Bytes directory = readEbookDirectory(flash, table);
    for (size_t k = 0; k < books().size(); ++k) {
        const size_t entry = 32 * k;
        const Book& book = books()[k];
        EXPECT_EQ(k + 1, directory[entry]);
        Bytes title(book.title.begin(), book.title.end());
        title.resize(10, 0xFF);
        EXPECT_EQ(title, slice(directory, entry + 1, 10)) << k;
        EXPECT_EQ(book.size, be32(directory, entry + 15));
        EXPECT_TRUE(readBook(flash, directory, k, g) == contentOf(book.title, book.size)) << "book " << k;
    }
    EXPECT_EQ(books().size() + 1, directory[32 * books().size()]);

    const Bytes movie = padded(contentOf("movie", kMovieSize));
    EXPECT_TRUE(flash.read(be32(table, 0x54), int64_t(movie.size() / 512)) == movie);
}

INSTANTIATE_TEST_SUITE_P(Variants, DpfOnFlash,
                         ::testing::Values(Geometry{"6716", 1024, 64, 4}, Geometry{"6605", 1024, 128, 8}),
                         [](const ::testing::TestParamInfo<Geometry>& info) { return std::string("V") + info.param.variant; });

}  // namespace
}  // namespace dpf_test
