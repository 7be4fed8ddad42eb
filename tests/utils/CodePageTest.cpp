#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/orrin/CodePage.h"
#include "platform/orrin/HostPath.h"

namespace {

using Tessor::CodePage;
using Tessor::HostPath;
namespace fs = std::filesystem;

TEST(CodePage, LeadBytesAreThoseThatStartADoubleByteCharacter)
{
    for (int b : {0x81, 0xA1, 0xD6, 0xFE}) {
        EXPECT_TRUE(CodePage::isLeadByte(static_cast<unsigned char>(b))) << b;
    }
    for (int b : {0x00, 0x40, 0x7F, 0x80, 0xFF}) {
        EXPECT_FALSE(CodePage::isLeadByte(static_cast<unsigned char>(b))) << b;
    }
}

TEST(CodePage, ConvertsBothWays)
{
    const std::string gbk = "\xD6\xD0\xCE\xC4" "a";  // "中文a"
    EXPECT_EQ("\xE4\xB8\xAD\xE6\x96\x87" "a", CodePage::toUtf8(gbk));
    EXPECT_EQ(gbk, CodePage::fromUtf8(CodePage::toUtf8(gbk)));
}

TEST(HostPath, BackslashesAndLetterCaseMeetTheDisk)
{
    const fs::path root = fs::path(::testing::TempDir()) / "hostpath";
    fs::remove_all(root);
    fs::create_directories(root / "Menu" / "mainMenu");
    std::ofstream(root / "Menu" / "mainMenu" / "L1EBook.img") << "x";
    fs::create_directories(root / "b.img");
    std::ofstream(root / "a.img") << "x";

    EXPECT_EQ((root / "Menu" / "mainMenu" / "L1EBook.img").string(),
              HostPath::toHost(root.string() + "\\menu\\MainMenu\\L1Ebook.img"));
    EXPECT_EQ((root / "Menu" / "new" / "X.img").string(), HostPath::toHost(root.string() + "\\menu\\new\\X.img"));
    // "乗" in GBK, whose second byte is that of a back-slash, stays whole.
    EXPECT_EQ("menu/\x81\x5C/X.img", HostPath::withSlashes("menu\\\x81\x5C\\X.img"));

    std::vector<HostPath::Entry> entries;
    ASSERT_TRUE(HostPath::list(root.string() + "\\", &entries));
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ("Menu", entries[0].name);
    EXPECT_EQ("a.img", entries[1].name);
    EXPECT_FALSE(entries[1].folder);
    EXPECT_TRUE(entries[2].folder);
    EXPECT_FALSE(HostPath::list(root.string() + "\\missing\\", &entries));
    fs::remove_all(root);
}

}  // namespace
