// The flash parts offered for selection, read from the flash-chip table.
#include <gtest/gtest.h>

#include <fstream>

#include "page/FlashPartTable.h"
#include "support/TempFolder.h"

namespace {

using Tessor::page::FlashPart;
using Tessor::page::readFlashParts;

class FlashPartTableTest : public ::testing::Test {
protected:
    test_support::TempFolder m_folder;
    const std::string& m_dir = m_folder.path();
};

TEST_F(FlashPartTableTest, EachPartNumberCarriesItsOwnSectionsCapacity)
{
    const std::string table = m_dir + "/FlashChip.ini";
    std::ofstream(table) << "[ECD35195]\nPartNumber=K9G8G08U0M\nBlockPerChip=4096\nPagePerBlock=128\nSectorPerPage=8\n"
                         << "[NoPart]\nPartNumber=NONE\nBlockPerChip=1024\nPagePerBlock=64\nSectorPerPage=4\n"
                         << "[Unnamed]\nBlockPerChip=2048\n"
                         << "[ADD7949A]\nPartNumber=HY27UT088G2A\nBlockPerChip=8192\nPagePerBlock=128\n"
                            "SectorPerPage=4\n";
    EXPECT_EQ(readFlashParts(table),
              std::vector<FlashPart>({{"K9G8G08U0M", 2048}, {"HY27UT088G2A", 2048}}));
}

TEST_F(FlashPartTableTest, EverySectionIsReadHoweverLongTheTable)
{
    const std::string table = m_dir + "/Big.ini";
    std::ofstream out(table);
    for (int i = 0; i < 600; ++i) {
        out << "[FlashSectionWithALongName" << i << "]\nPartNumber=P" << i
            << "\nBlockPerChip=2048\nPagePerBlock=64\nSectorPerPage=4\n";
    }
    out.close();
    const std::vector<FlashPart> parts = readFlashParts(table);
    ASSERT_EQ(parts.size(), 600u);
    EXPECT_EQ(parts.back(), (FlashPart{"P599", 256}));
    EXPECT_TRUE(readFlashParts(m_dir + "/missing.ini").empty());
}

}  // namespace
