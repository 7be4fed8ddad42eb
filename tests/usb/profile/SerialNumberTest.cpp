#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "usb/profile/uniSerialNO.h"

using Tessor::schema::uniSerialNO;

namespace {

TEST(SerialNumber, SeedAndReseed)
{
    uniSerialNO* counter = uniSerialNO::instance(100);
    EXPECT_EQ(100u, counter->getSerialNO());
    EXPECT_EQ(101u, counter->getSerialNO());
    EXPECT_EQ(counter, uniSerialNO::instance(500));
    EXPECT_EQ(500u, uniSerialNO::instance()->getSerialNO());
}

// Never counted again from 0 nor cut to eight digits: both would repeat
// numbers devices already carry.
TEST(SerialNumber, StopsAtTheLastEightDigitNumber)
{
    uint32_t number = 0;
    uniSerialNO::instance(99999999);
    EXPECT_TRUE(uniSerialNO::instance()->takeSerialNO(&number));
    EXPECT_EQ(99999999u, number);
    EXPECT_FALSE(uniSerialNO::instance()->takeSerialNO(&number));
    EXPECT_EQ(99999999u, number);
    EXPECT_EQ(99999999u, uniSerialNO::instance()->getSerialNO());
    uniSerialNO::instance(123456789);
    EXPECT_FALSE(uniSerialNO::instance()->takeSerialNO(&number));
    uniSerialNO::instance(7);
    EXPECT_EQ(7u, uniSerialNO::instance()->getSerialNO());
}

TEST(SerialNumber, PackedForm)
{
    struct Case {
        uint32_t number;
        uint32_t packed;
    } cases[] = {{12345678, 0x78563412u}, {1, 0x01000000u}, {123, 0x23010000u},
                 {0, 0}, {99999999, 0x99999999u}, {80000000, 0x00000080u}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.packed, Tessor::schema::packSerialNumber(c.number)) << c.number;
        EXPECT_EQ(c.number, Tessor::schema::unpackSerialNumber(c.packed)) << c.number;
    }
    EXPECT_EQ(12345678u, Tessor::schema::unpackSerialNumber(2018915346u));
}

}  // namespace
