#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/LogCapture.h"
#include "schema/dpf/DpfDataFactory.h"

namespace Tessor::schema {
namespace {

namespace fs = std::filesystem;

class DpfData : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::path(::testing::TempDir()) / "dpf_data";
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    std::string file(const std::string& name, int size, char fill = 'x')
    {
        std::ofstream(root / name, std::ios::binary) << std::string(static_cast<size_t>(size), fill);
        return root.string() + "\\" + name;
    }

    fs::path root;
};

TEST_F(DpfData, SectorsAreWholeAndEven)
{
    const std::vector<std::pair<int, int>> cases = {{1, 2}, {1024, 2}, {1025, 4}, {2048, 4}, {32768, 64}, {32769, 66}};
    for (const auto& [bytes, sectors] : cases) {
        DpfDataFile data("File", file("f.bin", bytes), 64);
        ASSERT_EQ(bytes, data.init());
        EXPECT_EQ(sectors, data.getSectorLength()) << bytes;
    }
    DpfDataFile one("One", file("one.bin", 1, 'q'), 64);
    ASSERT_EQ(1, one.init());
    const unsigned char* buffer = one.getDataBuffer();
    EXPECT_EQ('q', buffer[0]);
    EXPECT_EQ(std::vector<unsigned char>(1023, 0), std::vector<unsigned char>(buffer + 1, buffer + 1024));
}

TEST_F(DpfData, GroupCountsDeclaredSectorsOfTheFilesThatLoad)
{
    test_support::LogCapture log;
    DpfDataGroup group("Group", static_cast<PHOTO_ADDRESS_T>(5));
    group.addOneFile("First", file("a.img", 40000), 64);
    group.addOneFile("Missing", root.string() + "\\none.img", 64);
    group.addOneFile("Empty", file("empty.img", 0), 64);
    group.addOneFile("Third", file("c.img", 512), 16);
    EXPECT_EQ(2, group.getCount());
    EXPECT_EQ(80, group.getTotalSectors());
    EXPECT_EQ(80 + 2, group.getStoredSectors());
    EXPECT_STREQ("Third", group.getOneFile(1)->getName());
    EXPECT_FALSE(group.getOneFile(2));
    EXPECT_NE(std::string::npos, log.text().find("Missing file '" + root.string() + "\\none.img' init failed"));
}

TEST_F(DpfData, FactoryHasItsGroupsEvenWithoutFiles)
{
    DpfDataFactory factory(root.string() + "\\releases\\dpf\\");
    ASSERT_EQ(0, factory.init());
    EXPECT_EQ(29u, factory.current()->size());
    EXPECT_EQ(5044, factory.getTotalSectors());
    int files = 0;
    for (const DpfDataFactory::Row* row = DpfDataFactory::table(); row->type != -1; ++row) {
        for (const DpfDataFactory::Item* item = row->items; item->sectors > 0; ++item) {
            ++files;
        }
    }
    EXPECT_EQ(83, files);
    for (int type = 1; type <= 29; ++type) {
        Sptr<DpfDataGroup> group = factory.getDataGroup(static_cast<PHOTO_ADDRESS_T>(type));
        ASSERT_TRUE(group) << type;
        EXPECT_EQ(0, group->getCount());
        EXPECT_EQ(0, group->getTotalSectors());
    }
    EXPECT_STREQ("Address4ChineseMainMenu-22", factory.getDataGroup(static_cast<PHOTO_ADDRESS_T>(23))->getName());
    for (int type : {0, 30, 35}) {
        EXPECT_FALSE(factory.getDataGroup(static_cast<PHOTO_ADDRESS_T>(type)));
    }
}

TEST_F(DpfData, FactoryFindsItsFilesWhateverTheirLetterCase)
{
    fs::create_directories(root / "releases" / "dpf" / "menu" / "HZK");
    std::ofstream(root / "releases" / "dpf" / "menu" / "HZK" / "asc12.bin") << std::string(2048, 'a');
    DpfDataFactory factory(root.string() + "\\releases\\dpf\\");
    factory.init();
    Sptr<DpfDataGroup> ascii = factory.getDataGroup(static_cast<PHOTO_ADDRESS_T>(25));
    ASSERT_EQ(1, ascii->getCount());
    EXPECT_EQ(4, ascii->getTotalSectors());
}

TEST_F(DpfData, FactoryReadsAgainOnlyTheGroupsWhoseFilesChanged)
{
    const fs::path ascii = root / "releases" / "dpf" / "menu" / "hzk" / "ASC12.BIN";
    fs::create_directories(ascii.parent_path());
    std::ofstream(ascii) << std::string(2048, 'a');
    DpfDataFactory factory(root.string() + "\\releases\\dpf\\");
    factory.init();
    const DpfDataFactory::Snapshot before = factory.current();
    EXPECT_EQ(before, factory.current());  // nothing changed: the same set
    std::ofstream(ascii) << std::string(4096, 'b');
    const DpfDataFactory::Snapshot after = factory.current();
    ASSERT_NE(before, after);
    const auto firstByte = [](const DpfDataFactory::Snapshot& set) {
        return DpfDataFactory::groupOf(set, static_cast<PHOTO_ADDRESS_T>(25))->getOneFile(0)->getDataBuffer()[0];
    };
    EXPECT_EQ('b', firstByte(after));
    EXPECT_EQ(8, DpfDataFactory::groupOf(after, static_cast<PHOTO_ADDRESS_T>(25))->getStoredSectors());
    // The set taken before keeps its bytes; the groups left alone are shared.
    EXPECT_EQ('a', firstByte(before));
    EXPECT_EQ(DpfDataFactory::groupOf(before, static_cast<PHOTO_ADDRESS_T>(26)).get(),
              DpfDataFactory::groupOf(after, static_cast<PHOTO_ADDRESS_T>(26)).get());
}

}  // namespace
}  // namespace Tessor::schema
