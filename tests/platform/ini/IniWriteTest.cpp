#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "IniTestFile.h"
#include "platform/ini/Ini.h"

namespace {

std::string readValue(const IniTestFile& file, const char* section, const char* key)
{
    char buffer[64];
    GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer, file.path());
    return buffer;
}

TEST(IniWrite, CreatesFileSectionAndKey)
{
    IniTestFile file("", false);
    EXPECT_NE(0, WritePrivateProfileStringA("First", "a", "1", file.path()));
    EXPECT_NE(0, WritePrivateProfileStringA("First", "b", "2", file.path()));
    EXPECT_NE(0, WritePrivateProfileStringA("Second", "c", "3", file.path()));
    EXPECT_EQ("[First]\na=1\nb=2\n\n[Second]\nc=3\n", file.read());
}

TEST(IniWrite, KeepsEveryOtherLine)
{
    IniTestFile file(
        "; top comment\r\n[S]\r\n; inner comment\r\nKey=old\r\nother = x\r\n\r\n[T]\r\nk=v\r\n");
    EXPECT_NE(0, WritePrivateProfileStringA("s", "KEY", "new", file.path()));
    EXPECT_NE(0, WritePrivateProfileStringA("S", "added", "1", file.path()));
    EXPECT_EQ("; top comment\r\n[S]\r\n; inner comment\r\nKEY=new\r\nother = x\r\nadded=1\r\n\r\n[T]\r\nk=v\r\n",
              file.read());
}

TEST(IniWrite, NullKeyRemovesSectionAndNullValueRemovesKey)
{
    IniTestFile file("[A]\nx=1\ny=2\n[B]\nz=3\n[a]\nx=9\n");
    EXPECT_NE(0, WritePrivateProfileStringA("A", "x", nullptr, file.path()));
    EXPECT_EQ("<missing>", readValue(file, "A", "x"));
    EXPECT_EQ("2", readValue(file, "A", "y"));
    EXPECT_NE(0, WritePrivateProfileStringA("a", nullptr, nullptr, file.path()));
    EXPECT_EQ("[B]\nz=3\n", file.read());
}

TEST(IniWrite, FailsWhenTheFolderIsMissing)
{
    EXPECT_EQ(0, WritePrivateProfileStringA("s", "k", "v", "/nonexistent-folder/x.ini"));
    EXPECT_STRNE("", Tessor::IO::iniLastErrorText());
}

// No section, key nor value: the file as written is made durable; there is
// nothing to make so of a file that is not there or not a file.
TEST(IniWrite, NoSectionKeyNorValueSyncsTheFile)
{
    IniTestFile file;
    ASSERT_NE(0, WritePrivateProfileStringA("S", "k", "v", file.path()));
    EXPECT_NE(0, WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.path()));
    EXPECT_EQ("[S]\nk=v\n", file.read());
    const std::string folder = std::filesystem::path(file.path()).parent_path().string();
    for (const std::string& missing : {folder + "/absent.ini", folder}) {
        EXPECT_EQ(0, WritePrivateProfileStringA(nullptr, nullptr, nullptr, missing.c_str())) << missing;
        EXPECT_NE(std::string::npos, std::string(Tessor::IO::iniLastErrorText()).find(missing)) << missing;
    }
}

TEST(IniWrite, ValueWrittenReadsBack)
{
    IniTestFile file;
    EXPECT_NE(0, WritePrivateProfileStringA("S", "n", "4294967295", file.path()));
    EXPECT_EQ(0xFFFFFFFFu, GetPrivateProfileIntA("S", "n", 0, file.path()));
    EXPECT_NE(0, WritePrivateProfileStringA("S", "t", "", file.path()));
    EXPECT_EQ("", readValue(file, "S", "t"));
}

// A private settings file (it may hold a password) stays private after a
// write, and a link keeps pointing at the file it named.
TEST(IniWrite, KeepsModeAndLinks)
{
    IniTestFile file("[s]\nPassword=old\n");
    ASSERT_EQ(0, chmod(file.path(), 0600));
    EXPECT_NE(0, WritePrivateProfileStringA("s", "Password", "new", file.path()));
    struct stat st = {};
    ASSERT_EQ(0, stat(file.path(), &st));
    EXPECT_EQ(0600u, st.st_mode & 07777);

    const std::string link = file.dir() + "/link.ini";
    ASSERT_EQ(0, symlink(file.path(), link.c_str()));
    EXPECT_NE(0, WritePrivateProfileStringA("s", "k", "v", link.c_str()));
    ASSERT_EQ(0, lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ("[s]\nPassword=new\nk=v\n", file.read());
    ASSERT_EQ(0, stat(file.path(), &st));
    EXPECT_EQ(0600u, st.st_mode & 07777);

    IniTestFile created("", false);
    EXPECT_NE(0, WritePrivateProfileStringA("s", "k", "v", created.path()));
    ASSERT_EQ(0, stat(created.path(), &st));
    EXPECT_EQ(0644u, st.st_mode & 07777);
}

}  // namespace
