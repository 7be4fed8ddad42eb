#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/LogCapture.h"
#include "schema/base/SystemInfo.h"

namespace {

using Tessor::schema::SystemClock;
using Tessor::schema::SystemInfo;

int count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) {
        ++n;
    }
    return n;
}

TEST(SystemInfo, SerialClockCountsUpToNineThousandNineHundredNinetyEightThenWraps)
{
    struct Case {
        int start;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {0, {1, 2, 3}},
        {9996, {9997, 9998, 0, 1}},
    };
    for (const Case& c : cases) {
        SystemInfo::snId = c.start;
        for (int expected : c.expected) {
            EXPECT_EQ(SystemInfo::getSystemClock4SN()->milliseconds, expected) << "from " << c.start;
        }
    }
}

// Local times in winter, in summer and in the hour before the clocks go
// forward, whose offset is not the one in force at the same UTC time.
TEST(SystemInfo, FileTimeAndClockConvertBackAndForthThroughLocalTime)
{
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    const struct {
        long long localSeconds;  // since 1970, as if the local time were UTC
        int milliseconds;
        int month, day, dayOfWeek, hour, minute, second;
    } cases[] = {
        {1293025070LL, 250, 12, 22, 3, 12, 37, 50},  // 2010-12-22 13:37:50.250 CET
        {1277991470LL, 0, 7, 1, 4, 11, 37, 50},      // 2010-07-01 13:37:50 CEST
        {1269739800LL, 999, 3, 28, 0, 0, 30, 0},     // 2010-03-28 01:30:00.999 CET
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.localSeconds);
        const unsigned long long ticks = static_cast<unsigned long long>(c.localSeconds + 11644473600LL) * 10000000ULL +
                                         static_cast<unsigned long long>(c.milliseconds) * 10000ULL;
        FILETIME local{static_cast<uint32_t>(ticks & 0xFFFFFFFFu), static_cast<uint32_t>(ticks >> 32)};

        Sptr<SystemClock> utc = SystemInfo::getSystemClock(&local);
        EXPECT_EQ(utc->year, 2010);
        EXPECT_EQ(utc->month, c.month);
        EXPECT_EQ(utc->day, c.day);
        EXPECT_EQ(utc->dayOfWeek, c.dayOfWeek);
        EXPECT_EQ(utc->hour, c.hour);
        EXPECT_EQ(utc->minute, c.minute);
        EXPECT_EQ(utc->second, c.second);
        EXPECT_EQ(utc->milliseconds, c.milliseconds);

        FILETIME back{};
        EXPECT_EQ(SystemInfo::getFileTime(&back, utc), 0u);
        EXPECT_EQ(back.dwLowDateTime, local.dwLowDateTime);
        EXPECT_EQ(back.dwHighDateTime, local.dwHighDateTime);
    }
    unsetenv("TZ");
    tzset();
}

// Devices stamp their build information each on its own thread: the clock
// is read and converted on all of them at once, the first time included,
// with nothing between them that a thread sanitizer could take for order.
TEST(SystemInfo, ClocksAreConvertedOnManyThreadsAtOnce)
{
    const long long localSeconds = 1293025070LL + 11644473600LL;
    const unsigned long long ticks = static_cast<unsigned long long>(localSeconds) * 10000000ULL;
    const FILETIME local{static_cast<uint32_t>(ticks & 0xFFFFFFFFu), static_cast<uint32_t>(ticks >> 32)};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&local] {
            for (int i = 0; i < 50; ++i) {
                FILETIME back{};
                EXPECT_EQ(SystemInfo::getSystemClock(&local)->year, 2010);
                EXPECT_EQ(SystemInfo::getFileTime(&back, SystemInfo::getSystemClock(nullptr)), 0u);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

TEST(SystemInfo, GlobalUniqueIdIsHandedOutAndCountedUp)
{
    SystemInfo::uniqueId = 0x12340000;
    int first = 0;
    int second = 0;
    SystemInfo::getGlobalUniqueID(&first);
    SystemInfo::getGlobalUniqueID(&second);
    EXPECT_EQ(first, 0x12340000);
    EXPECT_EQ(second, 0x12340001);
}

TEST(SystemInfo, WorkingDirectoryThatCannotBeReadGivesDot)
{
    test_support::LogCapture log(Tessor::schema::LOG_ERR);
    const std::filesystem::path before = std::filesystem::current_path();
    const std::string gone = log.dir() + "/gone";
    std::filesystem::create_directory(gone);
    ASSERT_TRUE(SystemInfo::setCurrentWorkingDirectory(gone.c_str()));
    EXPECT_EQ(std::string(SystemInfo::getCurrentWorkingDirectory()), gone);
    std::filesystem::remove(gone);
    EXPECT_STREQ(SystemInfo::getCurrentWorkingDirectory(), ".");
    ASSERT_TRUE(SystemInfo::setCurrentWorkingDirectory(before.c_str()));
    EXPECT_FALSE(SystemInfo::setCurrentWorkingDirectory(gone.c_str()));
    const std::string text = log.text();
    EXPECT_NE(text.find("GetCurrentDirectory failed : "), std::string::npos);
    EXPECT_NE(text.find("SetCurrentDirectory as " + gone + " failed : "), std::string::npos);
}

class DebugDump : public testing::Test {
protected:
    test_support::LogCapture log{Tessor::schema::LOG_DBUG};
};

TEST_F(DebugDump, RowsOfSixteenBytesWithABlankLineAfterTheFirstRowOfEveryLaterBlock)
{
    std::vector<unsigned char> bytes(1024);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<unsigned char>(i);
    }
    SystemInfo::debugBuffer(bytes.data(), 32, "small");
    std::string text = log.text();
    EXPECT_NE(text.find("Dumping information about 'small':\n\tbuffer is "), std::string::npos);
    EXPECT_NE(text.find(" with length 32\n"), std::string::npos);
    EXPECT_NE(text.find("0x00 \t: 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f\n"
                        "0x10 \t: 10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f\n\n"),
              std::string::npos);
    EXPECT_EQ(count(text, "\t: "), 2);

    SystemInfo::debugBuffer(bytes.data(), 1024, "block");
    text = log.text();
    EXPECT_EQ(count(text, "\t: "), 2 + 64);
    EXPECT_NE(text.find("0x200 \t: 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f\n\n0x210 \t: "), std::string::npos);
    EXPECT_EQ(count(text, "\n\n0x"), 1);
}

TEST_F(DebugDump, ShortLastRowShowsOnlyTheBytesThatAreThere)
{
    const std::vector<unsigned char> bytes(20, 0xab);  // exactly 20: reading on would be caught
    SystemInfo::debugBuffer(bytes.data(), static_cast<int>(bytes.size()), "short");
    EXPECT_NE(log.text().find("0x10 \t: ab ab ab ab\n"), std::string::npos);
}

TEST_F(DebugDump, LengthIsBoundedAndANegativeOneDumpsNothing)
{
    std::vector<unsigned char> bytes(20000, 0x11);
    SystemInfo::debugBuffer(bytes.data(), 20000, "long");
    std::string text = log.text();
    EXPECT_NE(text.find("with length 16384\n"), std::string::npos);
    // Rows are logged in parts before the dump ends: its header comes first.
    EXPECT_LT(text.find("'long'"), text.find("0x00 \t: "));
    EXPECT_EQ(count(text, "\t: "), 16384 / 16);
    EXPECT_NE(text.find("0x3ff0 \t: "), std::string::npos);
    EXPECT_EQ(text.find("0x4000 \t: "), std::string::npos);

    SystemInfo::debugBuffer(bytes.data(), -5, "negative");
    text = log.text();
    EXPECT_NE(text.find("'negative':\n\tbuffer is "), std::string::npos);
    EXPECT_EQ(count(text, "\t: "), 16384 / 16);
}

TEST_F(DebugDump, TextThatOverrunsTheBufferIsCutAndTheBufferStaysUsable)
{
    const std::string huge(20000, 'x');
    SystemInfo::debug("%s", huge.c_str());
    SystemInfo::debug("%s", "after");
    SystemInfo::debugOut("title");
    const std::string text = log.text();
    EXPECT_NE(text.find("System Info Buffer is out of range : 20000"), std::string::npos);
    EXPECT_NE(text.find("\ntitle\nafter\n"), std::string::npos);
    EXPECT_LT(text.find(std::string(16383, 'x')), text.size());
    EXPECT_EQ(text.find(std::string(16384, 'x')), std::string::npos);
}

TEST_F(DebugDump, DebugInfoLogsAndEmptiesTheText)
{
    SystemInfo::debug("first %d;", 1);
    SystemInfo::debugInfo("second %d", 2);
    SystemInfo::debugOut("empty now");
    const std::string text = log.text();
    EXPECT_NE(text.find("first 1;second 2\n"), std::string::npos);
    EXPECT_NE(text.find("\nempty now\n\n\n"), std::string::npos);
}

TEST_F(DebugDump, DumpsFromManyThreadsStayWhole)
{
    const std::vector<unsigned char> bytes(64, 0xaa);
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                SystemInfo::debugBuffer(bytes.data(), static_cast<int>(bytes.size()), "whole");
                SystemInfo::debug("%s", "stray;");
                SystemInfo::debugInfo("%s", "info;");
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    // Every dump is its four rows and nothing else.
    const std::string text = log.text();
    const std::string rows = "0x30 \t: aa aa aa aa aa aa aa aa aa aa aa aa aa aa aa aa\n";
    for (auto pos = text.find("with length 64\n"); pos != std::string::npos; pos = text.find("with length 64\n", pos + 1)) {
        const auto end = text.find(rows, pos);
        ASSERT_NE(end, std::string::npos);
        const std::string dump = text.substr(pos, end - pos);
        EXPECT_EQ(dump.find("info;"), std::string::npos);
        EXPECT_EQ(count(dump, "\t: "), 3);
    }
    EXPECT_EQ(count(text, "with length 64\n"), 150);
}

}  // namespace
