#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "schema/device/Mp3Config.h"

using Tessor::schema::Mp3Config;

namespace {

TEST(Mp3Config, DefaultRecordBytes)
{
    Mp3Config config("DefaultMp3Config");
    unsigned char record[Mp3Config::RECORD_SIZE];
    memset(record, 0xEE, sizeof record);
    EXPECT_EQ(101, config.serialize(record));
    struct Case {
        int offset;
        unsigned char value;
    } cases[] = {{0, 0xFF},  {4, 0x04},  {5, 0x03},  {6, 0x70},  {7, 0x00},  {8, 0x00},  {24, 0x64},
                 {25, 0x00}, {39, 0x00}, {40, 0x01}, {50, 0x98}, {51, 0xCD}, {52, 0x00}, {57, 0xFF},
                 {62, 0},    {71, 17},   {72, 18},   {84, 100},  {85, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.value, record[c.offset]) << "offset " << c.offset;
    }
    // Reserved bytes keep what the caller prepared.
    for (int offset : {1, 2, 3, 9, 16, 19, 30, 43, 53, 60, 86, 89, 100}) {
        EXPECT_EQ(0xEE, record[offset]) << "offset " << offset;
    }
}

TEST(Mp3Config, FieldsKeepTheirWidth)
{
    Mp3Config config("c");
    config.getSysCfg()->set("CardEn", 2);
    config.getDecCfg()->set("bBufSize", 300);
    config.getSdcCfg()->set("wCmdRetry", 0x12345);
    unsigned char record[Mp3Config::RECORD_SIZE] = {};
    config.serialize(record);
    EXPECT_EQ(0xFD, record[0]);
    EXPECT_EQ(44, record[7]);
    EXPECT_EQ(0x45, record[24]);
    EXPECT_EQ(0x23, record[25]);

    Mp3Config back("back");
    back.reverseSerialize(record);
    EXPECT_EQ(0, back.getSysCfg()->get("CardEn"));
    EXPECT_EQ(44, back.getDecCfg()->get("bBufSize"));
    EXPECT_EQ(0x2345, back.getSdcCfg()->get("wCmdRetry"));
}

TEST(Mp3Config, RoundTripRestoresEveryFittingField)
{
    Mp3Config source("source");
    int value = 0;
    using Tessor::schema::Mp3Block;
    std::vector<Mp3Block*> blocks = {source.getDecCfg().get(), source.getRecCfg().get(), source.getSdcCfg().get(),
                                     source.getSpiCfg().get(), source.getI2cCfg().get(), source.getLcmCfg().get(),
                                     source.getKeyCfg().get()};
    for (Mp3Block* block : blocks) {
        for (int i = 0; i < block->getFieldCount(); ++i) {
            block->setField(i, ++value % 256);
        }
    }
    source.getSysCfg()->setField(3, 0);
    unsigned char record[Mp3Config::RECORD_SIZE] = {};
    source.serialize(record);
    Mp3Config copy("copy");
    copy.reverseSerialize(record);
    unsigned char again[Mp3Config::RECORD_SIZE] = {};
    copy.serialize(again);
    EXPECT_EQ(0, memcmp(record, again, sizeof record));
    EXPECT_EQ(0, copy.getSysCfg()->get("FmEn"));
    EXPECT_EQ(source.getKeyCfg()->get("bLedMode"), copy.getKeyCfg()->get("bLedMode"));
}

TEST(Mp3Config, CopiesShareBlocksButBlockCopiesDoNot)
{
    Mp3Config source("source");
    Mp3Config copy(source);
    copy.getLcmCfg()->set("bClkCyl", 7);
    EXPECT_EQ(7, source.getLcmCfg()->get("bClkCyl"));

    Tessor::schema::Mp3LcmCfg own(source.getLcmCfg());
    own.set("bClkCyl", 9);
    EXPECT_EQ(7, source.getLcmCfg()->get("bClkCyl"));
    EXPECT_STREQ("Mp3LcmCfg", own.getName());
    EXPECT_EQ(0, Tessor::schema::Mp3KeyCfg("k").get("bLedMode"));
}

}  // namespace
