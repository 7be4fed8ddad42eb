// The tables of a photo frame built for a device, byte by byte, for the
// counts at their edges.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "schema/device/BaseAddress.h"
#include "schema/device/SimulatedDevice.h"
#include "schema/dpf/DpfDataFactory.h"
#include "schema/dpf/DpfDevice.h"
#include "schema/state/DeviceStateType.h"
#include "schema/dpf/DpfConfig.h"
#include "usb/dpf/AreaWriter.h"
#include "usb/dpf/DpfCfgTable.h"
#include "usb/dpf/DpfCmd.h"
#include "usb/dpf/DpfCmdEbookDirectory.h"
#include "usb/dpf/DpfCmdItem.h"
#include "usb/dpf/DpfCmdPhotoAddress.h"
#include "usb/dpf/DpfCmdPhotoState.h"
#include "usb/cmd/SectorBitmap.h"
#include "support/DpfTree.h"
#include "platform/orrin/HostPath.h"

namespace dpf_test {
namespace {

using Tessor::schema::DpfConfig;
using Tessor::schema::DpfDataItem;
using Tessor::schema::DpfDevice;

// Every test program works in one tree, made once; the process's data
// factory reads it from the working folder.
void enterTree()
{
    static const bool made = [] {
        // Removed with the program's static objects at exit.
        static const test_support::TempFolder folder;
        const fs::path root = fs::path(folder.path()) / "tree";
        makeTree(root);
        fs::current_path(root);
        Tessor::schema::UsbConfiguration::instance("");
        return Tessor::schema::DpfDataFactory::instance()->init() == 0;
    }();
    ASSERT_TRUE(made);
}

// A photo-frame device of one 1 Gbit chip (256 sectors a block), a flash
// without bad blocks, waiting for production: for the tables a device
// builds, without the engine.
class DpfTables : public SimulatedDevice {
protected:
    DpfTables()
    {
        chips = 1;
        blocksPerChip = 1024;
        pagesPerBlock = 64;
        photoFrame = true;
    }

    void SetUp() override
    {
        enterTree();
        SimulatedDevice::SetUp();
        device->setSectorBitmap(
            Sptr<Tessor::usb::SectorBitmap>(new Tessor::usb::SectorBitmap(device, "SectorBitmap")));
        device->setState(device->findState(Tessor::schema::STATE_WAIT));
    }

    int perBlock() const { return pagesPerBlock * SECTORS; }

    // Builds the tables of `config` on the freshly scanned device, without
    // writing them.
    DpfDevice* build(const Sptr<DpfConfig>& config)
    {
        device->setSectorBitmap(
            Sptr<Tessor::usb::SectorBitmap>(new Tessor::usb::SectorBitmap(device, "SectorBitmap")));
        DpfDevice* dpf = device->getDpfDevice();
        dpf->setDpfConfig(config);
        EXPECT_EQ(0, dpf->allocateAddress());
        EXPECT_EQ(0, dpf->finish(device));
        return dpf;
    }

    static Sptr<DpfConfig> withPhotos(int count)
    {
        Sptr<DpfConfig> config(new DpfConfig("Photos"));
        config->clearAllPhotos();
        for (int i = 0; i < count; ++i) {
            config->addPhoto(Sptr<DpfDataItem>(new DpfDataItem("photo" + std::to_string(i))));
        }
        return config;
    }
};

TEST_F(DpfTables, PhotoZonesAndStateBitmapFollowThePhotoCount)
{
    struct Case {
        int photos;
        std::vector<int> zones;  // the first three
        Bytes bitmap;            // bytes 180 on
    };
    const std::vector<Case> cases = {
        {0, {0, 0, 0}, {0xFF, 0xFF}},
        {8, {8, 0, 0}, {0x00, 0xFF}},
        {11, {11, 0, 0}, {0x00, 0x1F, 0xFF}},
        {128, {128, 0, 0}, Bytes(16, 0x00)},
        {300, {128, 128, 44}, Bytes(37, 0x00)},
    };
    for (const Case& c : cases) {
        DpfDevice* dpf = build(withPhotos(c.photos));
        const unsigned char* table = dpf->getCfgTable()->getCfgTableBuffer();
        for (size_t z = 0; z < c.zones.size(); ++z) {
            EXPECT_EQ(c.zones[z], (table[0x64 + 2 * z] << 8) | table[0x64 + 2 * z + 1]) << c.photos << " zone " << z;
        }
        const unsigned char* state = dpf->getDpfCmd(Tessor::schema::ADDRESS_PHOTO_STATE)->getCmdBuffer();
        EXPECT_EQ(c.bitmap, Bytes(state + 180, state + 180 + c.bitmap.size())) << c.photos;
        EXPECT_EQ(Bytes(table, table + 132), Bytes(state, state + 132));
        EXPECT_EQ(Bytes(48, 0xFF), Bytes(state + 132, state + 180));
    }
    EXPECT_EQ(0x0F, build(withPhotos(300))->getDpfCmd(Tessor::schema::ADDRESS_PHOTO_STATE)->getCmdBuffer()[217]);
}

TEST_F(DpfTables, PhotoAddressesFillWholeBlocksOfSlots)
{
    Sptr<DpfConfig> config = withPhotos(0);
    config->setMaxImagesCount(10);
    DpfDevice* dpf = build(config);
    Sptr<Tessor::usb::DpfCmd> photos = dpf->getDpfCmd(Tessor::schema::ADDRESS_PHOTOS);
    ASSERT_EQ(3, photos->getAreaBlocks());
    Sptr<Tessor::usb::DpfCmd> map = dpf->getDpfCmd(Tessor::schema::ADDRESS_PHOTO_MAP);
    ASSERT_EQ(1, map->getSectorLength());
    const unsigned char* entries = map->getCmdBuffer();
    auto entry = [&](int j) {
        return (uint32_t(entries[4 * j]) << 24) | (uint32_t(entries[4 * j + 1]) << 16) |
               (uint32_t(entries[4 * j + 2]) << 8) | entries[4 * j + 3];
    };
    EXPECT_EQ(uint32_t(photos->getAreaBlock(1)->getPhyAddress() + 64), entry(5));
    EXPECT_EQ(uint32_t(photos->getAreaBlock(2)->getPhyAddress() + 192), entry(11));
    EXPECT_EQ(0u, entry(12));
}

TEST_F(DpfTables, MenuRecordsCountTheEnabledEntries)
{
    Sptr<DpfConfig> config(new DpfConfig("Menus"));
    for (int sub : {0, 1, 2, 3, 4, 5}) {
        config->setMenuItemState(0, sub, false);
    }
    for (int sub : {24, 25, 26, 27}) {
        config->setMenuItemState(6, sub, false);
    }
    config->getHwControl()->clock->year = 2010;
    const unsigned char* table = build(config)->getCfgTable()->getCfgTableBuffer();
    EXPECT_EQ((Bytes{1, 0xFF, 0}), Bytes(table + 0x138, table + 0x13B));
    EXPECT_EQ(Bytes(12, 0), Bytes(table + 0x174, table + 0x180));
    EXPECT_EQ(10, table[0x24]);
    // Nothing but the record in the sector, and the same bytes every time.
    const Bytes first(table, table + 512);
    EXPECT_EQ(Bytes(512 - 396, 0), Bytes(table + 396, table + 512));
    EXPECT_EQ(0, device->getDpfDevice()->finish(device));
    EXPECT_EQ(first, Bytes(table, table + 512));
}

TEST_F(DpfTables, NothingIsFinishedOrWrittenBeforeTheAreasAreAllocated)
{
    DpfDevice* dpf = device->getDpfDevice();
    EXPECT_EQ(0, dpf->finish(device));
    EXPECT_EQ(-1, dpf->writeFlash(device));
}

// The frame read back from its table sector, as read from the flash, by a
// device that has forgotten it, through the device content and through the
// table's read-back form: the books and photos come back as files, and the
// areas the table leads to are those the frame was written to.
TEST_F(DpfTables, ReadBackFromTheTableGivesTheContentAndAreasWritten)
{
    using namespace Tessor::schema;
    DpfDevice* dpf = build(Sptr<DpfConfig>(new DpfConfig("Written")));
    ASSERT_EQ(0, dpf->writeFlash(device));
    const unsigned char* read = device->readFlashSectors(dpf->getDpfAddress(ADDRESS_CFG_TABLE), 1);
    ASSERT_NE(nullptr, read);
    const Bytes sector(read, read + 512);
    const unsigned char* table = dpf->getCfgTable()->getCfgTableBuffer();
    ASSERT_TRUE(sector == Bytes(table, table + 512));
    const std::vector<PHOTO_ADDRESS_T> areas = {ADDRESS_PHOTOS, ADDRESS_PHOTO_STATE, ADDRESS_PHOTO_MAP, ADDRESS_BOOKS,
                                                ADDRESS_BOOK_DIRECTORY};
    auto blocksOf = [&](PHOTO_ADDRESS_T type) {
        std::vector<int> blocks;
        Sptr<Tessor::usb::DpfCmd> area = dpf->getDpfCmd(type);
        for (int i = 0; i < area->getAreaBlocks(); ++i) {
            blocks.push_back(area->getAreaBlock(i)->getPhyAddress() / perBlock());
        }
        return blocks;
    };
    std::map<PHOTO_ADDRESS_T, std::vector<int>> written;
    for (PHOTO_ADDRESS_T type : areas) {
        written[type] = blocksOf(type);
    }
    ASSERT_EQ(256u, written[ADDRESS_BOOKS].size());
    auto hostFile = [](const std::string& path) {
        std::ifstream in(Tessor::HostPath::toHost(path), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };

    const std::vector<std::pair<const char*, std::function<int(const Bytes&)>>> readers = {
        {"device content", [&](const Bytes& bytes) { return dpf->parsePhotoCfg(bytes); }},
        {"table read-back form",
         [&](const Bytes& bytes) {
             const Bytes whole = bytes.size() < 512 ? Bytes() : bytes;
             Tessor::usb::DpfCfgTable back(device, whole.empty() ? nullptr : whole.data());
             const unsigned char* kept = back.getCfgTableBuffer();
             return Bytes(kept, kept + 512) == sector ? 0 : -1;
         }},
    };
    for (const auto& [form, readBack] : readers) {
        SCOPED_TRACE(form);
        dpf->init();
        const fs::path out = fs::path(temp.path()) / "read-back";
        fs::remove_all(out);
        fs::create_directories(out / "books");
        fs::create_directories(out / "photos");
        Sptr<DpfConfig> reader(new DpfConfig("Reader"));
        reader->setHome4EBook((out / "books").string());
        reader->setHome4Photo((out / "photos").string());
        dpf->setDpfConfig(reader);
        for (const Bytes& bad : {Bytes(), Bytes(sector.begin(), sector.end() - 1), Bytes(512, 0)}) {
            EXPECT_EQ(-1, readBack(bad)) << bad.size();
        }
        ASSERT_EQ(0, readBack(sector));

        for (PHOTO_ADDRESS_T type : areas) {
            EXPECT_EQ(written[type], blocksOf(type)) << "area " << type;
        }
        Sptr<DpfConfig> config = dpf->getDpfConfig();
        ASSERT_EQ(static_cast<int>(books().size()), config->getEBookCfg()->getCount());
        for (size_t k = 0; k < books().size(); ++k) {
            const std::string path = config->getOneBook(static_cast<int>(k))->getFileName();
            EXPECT_EQ(Tessor::usb::DpfCmdEbookDirectory::titleOf(path), books()[k].title) << k;
            EXPECT_TRUE(hostFile(path) == contentOf(books()[k].title, books()[k].size)) << path;
        }
        ASSERT_EQ(static_cast<int>(photos().size()), config->getCurrentImagesCount());
        for (size_t j = 0; j < photos().size(); ++j) {
            const auto& [name, size] = photos()[j];
            EXPECT_TRUE(hostFile(config->getOnePhoto(static_cast<int>(j))->getFileName()) ==
                        padded(contentOf(name, size), 64))
                << name;
        }
        fs::remove_all(out);
    }
}

// An area's data goes block by block over its own blocks, whatever lies
// between them: a 64-sector write over 32-sector blocks 10 and 20 leaves
// block 11 erased.
class DpfAreaWriter : public DpfTables {
protected:
    DpfAreaWriter() { pagesPerBlock = 8; }
};

TEST_F(DpfAreaWriter, WritesOnlyTheBlocksOfItsArea)
{
    Tessor::usb::DpfCmd area(device, "Area", Tessor::schema::ADDRESS_PHOTOS);
    Sptr<Tessor::schema::BaseAddress> blocks(new Tessor::schema::BaseAddress(device, 0, 0, 0));
    for (int block : {10, 20}) {
        blocks->addData(Sptr<Tessor::schema::BaseAddress>(new Tessor::schema::BaseAddress(device, block, 0, 0)));
    }
    area.setAddress(blocks);
    const Bytes data = contentOf("area", 64 * 512);
    Tessor::usb::AreaWriter writer(device, &area);
    ASSERT_EQ(0, writer.write(data.data(), 64, 64));
    auto sectors = [&](int block) {
        const unsigned char* read = device->readFlashSectors(0, block * 32, 32);
        return read == nullptr ? Bytes() : Bytes(read, read + 32 * 512);
    };
    EXPECT_TRUE(sectors(10) == Bytes(data.begin(), data.begin() + 32 * 512));
    EXPECT_TRUE(sectors(20) == Bytes(data.begin() + 32 * 512, data.end()));
    EXPECT_TRUE(sectors(11) == Bytes(32 * 512, 0xFF));
}

using DpfDeviceForms = DpfTables;

TEST_F(DpfDeviceForms, TheRawBufferFormIsTheDeviceContentByItsOwnName)
{
    const unsigned char raw[512] = {};
    DpfDevice dpf(device, raw);
    EXPECT_STREQ("DpfDevice", dpf.getName());
}

// A writer made from a raw buffer is the plain writer of its area, empty and
// without blocks, whatever the buffer holds; a reset leaves the device
// content as it was.
TEST_F(DpfDeviceForms, RawBufferWritersAreEmptyWritersOfTheirArea)
{
    using namespace Tessor::schema;
    using namespace Tessor::usb;
    const Bytes raw = contentOf("raw", 512);
    struct Case {
        Sptr<DpfCmd> writer;
        PHOTO_ADDRESS_T type;
        int sectors;
    };
    const std::vector<Case> cases = {
        {Sptr<DpfCmd>(new DpfCmd(device, raw.data(), ADDRESS_PHOTOS)), ADDRESS_PHOTOS, 0},
        {Sptr<DpfCmd>(new DpfCmdItem(device, raw.data(), ADDRESS_BOOKS)), ADDRESS_BOOKS, 0},
        {Sptr<DpfCmd>(new DpfCmdPhotoState(device, raw.data())), ADDRESS_PHOTO_STATE, 1},
        {Sptr<DpfCmd>(new DpfCmdPhotoAddress(device, raw.data())), ADDRESS_PHOTO_MAP, 0},
        {Sptr<DpfCmd>(new DpfCmdEbookDirectory(device, raw.data())), ADDRESS_BOOK_DIRECTORY, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_STREQ("DpfCmd", c.writer->getName());
        EXPECT_EQ(c.type, c.writer->getType());
        EXPECT_EQ(c.sectors, c.writer->getSectorLength());
        EXPECT_EQ(0, c.writer->getAreaBlocks());
        EXPECT_EQ(-1, c.writer->writeFlash(device));
    }

    DpfDevice* dpf = device->getDpfDevice();
    const Sptr<DpfConfig> config = dpf->getDpfConfig();
    const Sptr<DpfCfgTable> table = dpf->getCfgTable();
    EXPECT_EQ(0, dpf->reset());
    EXPECT_EQ(config, dpf->getDpfConfig());
    EXPECT_EQ(table, dpf->getCfgTable());
}

TEST(DpfBookTitles, CutAtTenBytesWithoutSplittingACharacter)
{
    using Tessor::usb::DpfCmdEbookDirectory;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"releases\\dpf\\ebook\\abc.txt", "abc"},
        {"ebook\\abcdefghijk.txt", "abcdefghij"},
        {"a\xD6\xD0\xCE\xC4\xD7\xD6\xCC\xE5\xBA\xC3.txt", "a\xD6\xD0\xCE\xC4\xD7\xD6\xCC\xE5"},
        {"\xD6\xD0\xCE\xC4\xD7\xD6\xCC\xE5\xBA\xC3\xBF\xB4.txt", "\xD6\xD0\xCE\xC4\xD7\xD6\xCC\xE5\xBA\xC3"},
        {"\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40.txt", "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40"},
    };
    for (const auto& [path, title] : cases) {
        EXPECT_EQ(title, DpfCmdEbookDirectory::titleOf(path)) << path;
    }
}

}  // namespace
}  // namespace dpf_test
