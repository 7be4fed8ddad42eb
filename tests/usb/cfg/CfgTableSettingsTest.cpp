// What a finished configuration table takes from the run settings: serial
// number by mode, password, USB ids and strings, inquiry data.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "HexBytes.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DeviceFixture.h"
#include "usb/cfg/CfgTable.h"
#include "usb/profile/uniSerialNO.h"

using namespace Tessor::usb;
using Tessor::schema::ConfigInfo;
using Tessor::schema::PartInfo;
using Tessor::schema::ScanConfig;
using Tessor::schema::UsbConfiguration;

namespace {

std::string text(const char* field, size_t n) { return std::string(field, strnlen(field, n)); }

std::string bytes(const void* p, size_t n)
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return hexText(std::vector<uint8_t>(b, b + n));
}

class Settings : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        giveGeometry(1, 256, 64, 4);
        run = Sptr<ConfigInfo>(new ConfigInfo());
        run->setScanConfig(Sptr<ScanConfig>(new ScanConfig(nullptr, "ScanConfig")));
        run->setRealCapacity(256 * 64 * 4);
        run->setConfigCapacity(2000);
        part0 = Sptr<PartInfo>(new PartInfo(2000));
        run->addPartInfo(part0);
    }

    // A table of the chip set finished with the run settings.
    Sptr<CfgTable> finished(const char* chipSet)
    {
        UsbConfiguration::instance()->setChipSet(chipSet);
        EXPECT_EQ(device->setConfigInfo(run), 0);
        Sptr<CfgTable> table(new CfgTable(device, "ConfigTable", CFG_TABLE_DEVICE));
        EXPECT_EQ(0, table->finish(device));
        return table;
    }

    Sptr<ConfigInfo> run;
    Sptr<PartInfo> part0;
};

TEST_F(Settings, SerialNumberByMode)
{
    Tessor::schema::SystemClock clock;
    clock.year = 2026, clock.month = 12, clock.day = 9, clock.hour = 9, clock.minute = 5, clock.milliseconds = 42;
    EXPECT_EQ("2026120909050042", CfgTable::autoSerialNumber(clock));

    struct Case {
        int mode;
        const char* label;
        const char* expected;  // null: sixteen digits of the clock
    };
    Tessor::schema::uniSerialNO::instance(7);
    const Case cases[] = {
        {0, "IGNORED", nullptr},
        {1, "ABCDEFGHIJKLMN", "ABCDEFGHIJ78563412"},
        {2, "AB", "AB00000007"},
        {2, "ABCDEFGHIJKLMN", "ABCDEFGHIJ00000008"},
        {5, "AB", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        run->setSnMode(c.mode);
        run->setSerialNoLabel(c.label);
        run->setSerialNoStart(0x12345678);
        Sptr<CfgTable> table = finished("6716");
        const std::string serial = text(table->getCfgTblInfo()->serialNumber, 18);
        if (c.expected == nullptr) {
            EXPECT_EQ(16u, serial.size());
            EXPECT_EQ(std::string::npos, serial.find_first_not_of("0123456789"));
        } else {
            EXPECT_EQ(c.expected, serial);
        }
        char decoded[18];
        CfgTable::decodeStringDescritor(&table->getCfgTblInfo()->serial, decoded);
        EXPECT_EQ(serial.substr(0, 17), decoded) << "the descriptor holds 17 characters";
    }
}

TEST_F(Settings, IncrementedSerialIsTakenOncePerTable)
{
    Tessor::schema::uniSerialNO::instance(7);
    run->setSnMode(2);
    run->setSerialNoLabel("AB");
    Sptr<CfgTable> table = finished("6716V31");
    ASSERT_EQ(0, table->finish(device));
    EXPECT_EQ("AB00000007", text(table->getCfgTblInfo()->serialNumber, 18));
    char decoded[17];
    CfgTable::decodeStringDescritor(&table->getCfgInfoV31()->serial, decoded);
    EXPECT_STREQ("AB00000007", decoded);
    EXPECT_EQ(8u, Tessor::schema::uniSerialNO::instance()->peekSerialNO());
}

TEST_F(Settings, StringFormsCountAndTruncate)
{
    __STRING_DESCRIPTOR full{};
    _USB_STRING_PRODUCT shortForm{};
    _USB_STRING_MANUFACT product{};
    _USB_STRING_SERIAL serial{};
    char out[18];
    struct Case {
        const char* text;
        int stored[4];       // full, short, product, serial
        uint8_t bLength[4];
        const char* decoded[4];
    };
    const Case cases[] = {
        {"Flash Disk", {10, 8, 10, 10}, {0x22, 0x10, 0x14, 0x22}, {"Flash Disk", "Flash Di", "Flash Disk", "Flash Disk"}},
        {"ABCDEFGHIJKLMNOPQRSTU",
         {17, 8, 16, 16},
         {0x22, 0x10, 0x20, 0x22},
         {"ABCDEFGHIJKLMNOPQ", "ABCDEFGH", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"}},
        {"", {0, 0, 0, 0}, {0x22, 0x00, 0x00, 0x22}, {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::memset(&full, 0xAB, sizeof full);
        full.bDescriptorType = 3;
        EXPECT_EQ(c.stored[0], CfgTable::encodeStringDescritor(&full, c.text));
        EXPECT_EQ(c.stored[1], CfgTable::encodeStringDescritor(&shortForm, c.text));
        EXPECT_EQ(c.stored[2], CfgTable::encodeStringDescritor(&product, c.text));
        EXPECT_EQ(c.stored[3], CfgTable::encodeStringDescritor(&serial, c.text));
        const uint8_t lengths[4] = {full.bLength, shortForm.bLength, product.bLength, serial.bLength};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(c.bLength[i], lengths[i]) << i;
        }
        EXPECT_EQ(3, full.bDescriptorType);
        if (c.stored[0] < __STRING_DESCRIPTOR::kChars) {
            EXPECT_EQ(0, full.text[2 * c.stored[0]]) << "the character area is cleared";
        }
        EXPECT_EQ(0, full.text[1]) << "high byte of a character";
        CfgTable::decodeStringDescritor(&full, out);
        EXPECT_STREQ(c.decoded[0], out);
        CfgTable::decodeStringDescritor(&shortForm, out);
        EXPECT_STREQ(c.decoded[1], out);
        CfgTable::decodeStringDescritor(&product, out);
        EXPECT_STREQ(c.decoded[2], out);
        CfgTable::decodeStringDescritor(&serial, out);
        EXPECT_STREQ(c.decoded[3], out);
    }
}

TEST_F(Settings, IdsStringsAndInquiryReachEveryBlock)
{
    run->setVendorCode(0x12345);
    run->setProductCode(0xBEEF);
    run->setVendorString("VENDORNAME12");
    run->setProductString("Product");
    part0->setDiskType(Tessor::schema::DISK_CDROM);
    Sptr<CfgTable> table = finished("6716V32");
    _CFG_TBL_INFO& t = *table->getCfgTblInfo();
    for (const DeviceDescriptor* d : {&t.device, &t.device2, &table->getCfgInfoV31()->device,
                                      &table->getCfgInfo6605()->device}) {
        EXPECT_EQ("45 23 EF BE ", bytes(d->idVendor, 4));
    }
    EXPECT_EQ("12 01 00 02 00 00 00 40 45 23 EF BE 00 00 01 02 03 01 ",
              bytes(&table->getCfgInfoV31()->device, sizeof(DeviceDescriptor)));
    for (const InquiryData* q : {&t.inquiry, &table->getCfgInfoV31()->inquiry, &table->getCfgInfo6605()->inquiry}) {
        EXPECT_EQ("05 80 02 02 1F 00 00 00 ", bytes(q, 8));
        EXPECT_EQ("VENDORNA", std::string(q->vendor, 8));
        EXPECT_EQ(std::string("Product") + std::string(9, '\0'), std::string(q->product, 16));
    }
    EXPECT_EQ("3.20", std::string(table->getCfgInfoV31()->inquiry.revision, 4));
    char out[18];
    CfgTable::decodeStringDescritor(&table->getCfgInfoV31()->manufacturer, out);
    EXPECT_STREQ("VENDORNA", out);
    CfgTable::decodeStringDescritor(&t.manufacturer, out);
    EXPECT_STREQ("VENDORNAME12", out);

    struct DiskCase {
        int diskType;
        const char* head;
    };
    for (const DiskCase& c : {DiskCase{Tessor::schema::DISK_LOCAL, "00 00 "}, DiskCase{Tessor::schema::DISK_REMOVABLE, "00 80 "}}) {
        part0->setDiskType(c.diskType);
        EXPECT_EQ(c.head, bytes(&finished("6716")->getCfgTblInfo()->inquiry, 2));
    }
}

TEST_F(Settings, PasswordOfAnEncryptedPartitionByFirmware)
{
    run->setPassword("ABCDEFGHIJKLMNOPQRST");
    Sptr<CfgTable> plain = finished("6716");
    EXPECT_EQ(std::string(18, '\0'), std::string(plain->getCfgTblInfo()->password, 18));

    Sptr<PartInfo> hidden(new PartInfo(1000));
    hidden->setIsEncrypted(true);
    run->addPartInfo(hidden);
    Sptr<CfgTable> table300 = finished("6716");
    EXPECT_EQ(std::string("ABCDEFGHIJKLMNOPQ") + '\0', std::string(table300->getCfgTblInfo()->password, 18));

    Sptr<CfgTable> table310 = finished("6716V31");
    EXPECT_EQ(std::string(18, '\0'), std::string(table310->getCfgTblInfo()->password, 18));
    EXPECT_EQ("ABCDEFGHIJKLMNOPQR", std::string(table310->getBuildInfo()->getPassword(), 18));
}

TEST_F(Settings, RunSettingsThatNeedMoreThanFourLunsFailTheFinishWithTheDeviceCode)
{
    for (int i = 0; i < 4; ++i) {
        run->addPartInfo(Sptr<PartInfo>(new PartInfo(100)));
    }
    UsbConfiguration::instance()->setChipSet("6716");
    EXPECT_EQ(device->setConfigInfo(run), 0);
    CfgTable table(device, "ConfigTable", CFG_TABLE_DEVICE);
    EXPECT_EQ(-0x8020, table.finish(device));
}

}  // namespace
