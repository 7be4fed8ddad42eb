#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ini/Ini.h"
#include "support/LogCapture.h"
#include "support/TempFolder.h"
#include "usb/profile/uniSerialNO.h"

using Tessor::schema::uniSerialNO;
using Taken = Tessor::schema::uniSerialNO::Taken;

namespace {

// The next number, which must be one no device had.
uint32_t take()
{
    uint32_t number = 0;
    EXPECT_EQ(Taken::NEW, uniSerialNO::instance()->takeSerialNO(&number));
    return number;
}

class SerialNumber : public ::testing::Test {
protected:
    void TearDown() override { uniSerialNO::instance()->keepIn("", ""); }

    // The counter's next number as kept in the settings file, unpacked.
    uint32_t kept() const
    {
        const unsigned packed = GetPrivateProfileIntA("Section", "SerialNumber", -1, m_file.c_str());
        return Tessor::schema::unpackSerialNumber(packed);
    }

    test_support::TempFolder m_folder;
    std::string m_file = m_folder.file("UserSetting.ini");
};

TEST_F(SerialNumber, SeedAndReseed)
{
    uniSerialNO* counter = uniSerialNO::instance(100);
    EXPECT_EQ(100u, take());
    EXPECT_EQ(101u, take());
    EXPECT_EQ(counter, uniSerialNO::instance(500));
    EXPECT_EQ(500u, take());
}

// Never counted again from 0 nor cut to eight digits: both would repeat
// numbers devices already carry.
TEST_F(SerialNumber, StopsAtTheLastEightDigitNumber)
{
    uint32_t number = 0;
    uniSerialNO::instance(99999999);
    EXPECT_EQ(99999999u, take());
    EXPECT_EQ(Taken::USED_UP, uniSerialNO::instance()->takeSerialNO(&number));
    EXPECT_EQ(99999999u, number);
    uniSerialNO::instance(123456789);
    EXPECT_EQ(Taken::USED_UP, uniSerialNO::instance()->takeSerialNO(&number));
    uniSerialNO::instance(7);
    EXPECT_EQ(7u, take());
}

// However the run ends after a take, the settings file already names a
// number after it.
TEST_F(SerialNumber, EachNumberIsKeptBeforeItIsHandedOut)
{
    uniSerialNO::instance(41)->keepIn(m_file, "Section");
    EXPECT_EQ(41u, take());
    EXPECT_EQ(42u, kept());
    EXPECT_EQ(42u, take());
    EXPECT_EQ(43u, kept());

    // The end of a run takes one more and keeps that very one.
    uint32_t last = 0;
    EXPECT_TRUE(uniSerialNO::instance()->takeLastSerialNO(&last));
    EXPECT_EQ(43u, last);
    EXPECT_EQ(43u, kept());

    // A writer of more settings stores the next number under the counter.
    EXPECT_TRUE(uniSerialNO::instance()->keepWith([](uint32_t next) { return next == 44; }));
    EXPECT_FALSE(uniSerialNO::instance()->keepWith([](uint32_t) { return false; }));
}

// A number that cannot be kept is not handed out: the counter stays, says
// why, and hands the number out once it can be kept.
TEST_F(SerialNumber, ANumberThatCannotBeKeptIsNotTaken)
{
    uniSerialNO::instance(7)->keepIn(m_file, "Section");
    std::filesystem::create_directory(m_file);
    uint32_t number = 0;
    test_support::LogCapture log;
    EXPECT_EQ(Taken::NOT_KEPT, uniSerialNO::instance()->takeSerialNO(&number));
    EXPECT_TRUE(log.contains("Serial number " + std::to_string(Tessor::schema::packSerialNumber(8)) + " not saved to " +
                             m_file))
        << log.text();
    EXPECT_EQ(7u, uniSerialNO::instance()->peekSerialNO());
    std::filesystem::remove(m_file);
    EXPECT_EQ(7u, take());
    EXPECT_EQ(8u, kept());
}

TEST_F(SerialNumber, PackedForm)
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
