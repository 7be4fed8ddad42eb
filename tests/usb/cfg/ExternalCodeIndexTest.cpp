#include <gtest/gtest.h>

#include "DeviceViewFixture.h"
#include "usb/cfg/ExternalCodeIndex.h"

using Tessor::schema::BaseAddress;
using Tessor::usb::ExternalCodeIndex;

namespace {

// Code pages counted in pages from the configuration table's block, high
// byte first; blocks before the table's wrap around 65,536.
TEST(ExternalCodeIndexTest, EntriesCountPagesFromTheTablesBlock)
{
    DeviceViewFixture f(1, 1024, 128, 8);
    Sptr<BaseAddress> table = f.address(0, 10, 5);
    Sptr<BaseAddress> pages(new BaseAddress(f.view.disk, 0));
    for (auto [block, page] : {std::pair{12, 3}, {10, 6}, {5, 0}}) {
        pages->addData(Sptr<Tessor::schema::BaseData>(f.address(0, block, page)));
    }
    ExternalCodeIndex index;
    ASSERT_EQ(index.update(128, *table, *pages), 0);
    const unsigned char expected[] = {0x01, 0x03, 0x00, 0x06, 0xFD, 0x80, 0x00};
    for (size_t i = 0; i < sizeof expected; ++i) {
        EXPECT_EQ(index.data()[i], expected[i]) << "byte " << i;
    }
    for (int i = 7; i < ExternalCodeIndex::SIZE; ++i) {
        ASSERT_EQ(index.data()[i], 0) << "byte " << i;
    }

    // More pages than the sector holds are refused.
    for (int i = 0; i < ExternalCodeIndex::MAX_ENTRIES; ++i) {
        pages->addData(Sptr<Tessor::schema::BaseData>(f.address(0, 11, 0)));
    }
    EXPECT_EQ(index.update(128, *table, *pages), -1);
}

}  // namespace
