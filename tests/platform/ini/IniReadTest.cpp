#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "IniTestFile.h"
#include "platform/ini/Ini.h"

namespace {

const char* const SAMPLE =
    "\xEF\xBB\xBF; leading comment\r\n"
    "orphan=before any section\r\n"
    "[Main]\r\n"
    "Name = Some Value  \r\n"
    "empty=\r\n"
    "quoted=\"  padded  \"\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    "hex=0x1F\r\n"
    "HEXUP=0XfF\r\n"
    "neg=-1\r\n"
    "big=4294967295\r\n"
    "wrap=4294967297\r\n"
    "junk=12abc\r\n"
    "text=abc\r\n"
    "no equals sign here\r\n"
    "\r\n"
    "[main]\r\n"
    "Name=shadowed\r\n"
    "[Other]\r\n"
    "Name=other\r\n";

TEST(IniRead, StringValues)
{
    IniTestFile file(SAMPLE);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Main", "Name", "Some Value"},
        {"MAIN", "name", "Some Value"},  // names ignore case, first section wins
        {"Main", "empty", ""},
        {"Main", "quoted", "  padded  "},
        {"Main", "dup", "first"},
        {"Other", "Name", "other"},
        {"Main", "missing", "DEF"},
        {"Nowhere", "Name", "DEF"},
        {"Main", "orphan", "DEF"},
        {"Main", "no equals sign here", "DEF"},
    };
    for (const Case& c : cases) {
        char buffer[64];
        memset(buffer, 'x', sizeof buffer);
        unsigned n = GetPrivateProfileStringA(c.section, c.key, "DEF", buffer, sizeof buffer, file.path());
        EXPECT_STREQ(c.expected, buffer) << c.section << "/" << c.key;
        EXPECT_EQ(strlen(c.expected), n) << c.section << "/" << c.key;
    }
}

TEST(IniRead, StringIsCutToTheBuffer)
{
    IniTestFile file("[s]\nk=abcdefgh\n");
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    char guard = 'g';
    EXPECT_EQ(4u, GetPrivateProfileStringA("s", "k", "", buffer, 5, file.path()));
    EXPECT_STREQ("abcd", buffer);
    EXPECT_EQ('x', buffer[5]);
    EXPECT_EQ(0u, GetPrivateProfileStringA("s", "k", "", &guard, 0, file.path()));
    EXPECT_EQ('g', guard);
    EXPECT_EQ(3u, GetPrivateProfileStringA("s", "missing", "default", buffer, 4, file.path()));
    EXPECT_STREQ("def", buffer);
}

TEST(IniRead, IntegerValues)
{
    IniTestFile file(SAMPLE);
    struct Case {
        const char* key;
        unsigned expected;
    } cases[] = {
        {"hex", 31},
        {"HEXUP", 255},
        {"neg", 0xFFFFFFFFu},
        {"big", 0xFFFFFFFFu},
        {"wrap", 1},
        {"junk", 12},
        {"text", 0},
        {"empty", 0},
        {"missing", 77},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, GetPrivateProfileIntA("Main", c.key, 77, file.path())) << c.key;
    }
    EXPECT_EQ(static_cast<unsigned>(-5), GetPrivateProfileIntA("Main", "k", -5, "/nonexistent/dir/x.ini"));
}

TEST(IniRead, StrToIntEx)
{
    struct Case {
        const char* text;
        int hex;
        bool ok;
        int value;
    } cases[] = {
        {"0x78563412", 1, true, 0x78563412},
        {"0xFFFFFFFF", 1, true, -1},
        {"0x12", 0, true, 0},
        {"  -42", 1, true, -42},
        {"+7", 0, true, 7},
        {"", 1, false, 0},
        {"zz", 1, false, 0},
        {"0x", 1, true, 0},
    };
    for (const Case& c : cases) {
        int value = 99;
        EXPECT_EQ(c.ok, StrToIntExA(c.text, c.hex, &value)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
    }
}

TEST(IniRead, SectionNames)
{
    IniTestFile file("[one]\n[Two]\nk=v\n[three]\n");
    char buffer[64];
    unsigned n = GetPrivateProfileSectionNamesA(buffer, sizeof buffer, file.path());
    EXPECT_EQ(14u, n);
    EXPECT_EQ(0, memcmp("one\0Two\0three\0\0", buffer, 15));

    char small[8];
    EXPECT_EQ(6u, GetPrivateProfileSectionNamesA(small, sizeof small, file.path()));
    EXPECT_EQ('\0', small[6]);
    EXPECT_EQ('\0', small[7]);

    // A section without a name does not end the list early.
    IniTestFile unnamed("[one]\n[]\nk=v\n[ ]\n[two]\n");
    EXPECT_EQ(8u, GetPrivateProfileSectionNamesA(buffer, sizeof buffer, unnamed.path()));
    EXPECT_EQ(0, memcmp("one\0two\0\0", buffer, 9));

    IniTestFile missing("", false);
    buffer[0] = buffer[1] = 'x';
    EXPECT_EQ(0u, GetPrivateProfileSectionNamesA(buffer, sizeof buffer, missing.path()));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ('\0', buffer[1]);
}

// File names are the system's: back-slashes, any letter case, GBK text. A
// name of another spelling reaches the file on disk, for reads and writes
// alike; a file that is not there still reads as missing.
TEST(IniRead, SystemPathsReachTheFileOnDisk)
{
    IniTestFile file;
    const std::string folder = file.dir() + "/Etc/\xE4\xB9\x97";  // "乗" in UTF-8 on disk
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/User.ini") << "[s]\nk=v\n";
    const std::string gbkFolder = file.dir() + "\\etc\\\x81\x5C";  // "乗" in GBK: its second byte is that of "\\"
    const struct {
        std::string path;
        const char* value;
    } cases[] = {
        {folder + "/User.ini", "v"},
        {gbkFolder + "\\User.ini", "v"},
        {gbkFolder + "\\USER.INI", "v"},
        {file.dir() + "\\ETC\\\x81\x5C\\user.ini", "v"},
        {gbkFolder + "\\Other.ini", "<missing>"},
        {file.dir() + "\\Missing\\User.ini", "<missing>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        char buffer[16];
        GetPrivateProfileStringA("s", "k", "<missing>", buffer, sizeof buffer, c.path.c_str());
        EXPECT_STREQ(c.value, buffer);
    }
    char names[16] = {'x', 'x'};
    EXPECT_EQ(0u, GetPrivateProfileSectionNamesA(names, sizeof names, (gbkFolder + "\\Other.ini").c_str()));
    EXPECT_EQ('\0', names[0]);

    // A write through another spelling changes the file there, and makes no second one.
    EXPECT_NE(0, WritePrivateProfileStringA("s", "k", "w", (gbkFolder + "\\user.INI").c_str()));
    std::ifstream in(folder + "/User.ini");
    EXPECT_EQ("[s]\nk=w\n", std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder), {}));
}

// A file is parsed once and parsed again whenever it changes on disk, even
// when the change keeps its size and its modification time.
TEST(IniRead, ReadsSeeEveryChangeOnDisk)
{
    IniTestFile file("[s]\nk=1\n");
    const auto backdate = [&] {
        struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(0, utimensat(AT_FDCWD, file.path(), old, 0));
    };
    backdate();
    EXPECT_EQ(1u, GetPrivateProfileIntA("s", "k", 0, file.path()));
    EXPECT_EQ(1u, GetPrivateProfileIntA("S", "K", 0, file.path()));
    file.write("[s]\nk=2\n");
    EXPECT_EQ(2u, GetPrivateProfileIntA("s", "k", 0, file.path()));
    file.write("[s]\nk=3\n");
    backdate();
    EXPECT_EQ(3u, GetPrivateProfileIntA("s", "k", 0, file.path()));
    file.write("[s]\nk=4\n");
    EXPECT_EQ(4u, GetPrivateProfileIntA("s", "k", 0, file.path()));
    unlink(file.path());
    EXPECT_EQ(7u, GetPrivateProfileIntA("s", "k", 7, file.path()));
}

// A FIFO or a folder named as an INI file is refused at once, never waited on.
TEST(IniRead, NonRegularFilesAreRefused)
{
    IniTestFile fifo("", false);
    ASSERT_EQ(0, mkfifo(fifo.path(), 0600));
    char buffer[16];
    EXPECT_EQ(3u, GetPrivateProfileStringA("s", "k", "def", buffer, sizeof buffer, fifo.path()));
    EXPECT_STREQ("def", buffer);
    EXPECT_EQ(0, WritePrivateProfileStringA("s", "k", "v", fifo.path()));
    EXPECT_NE(nullptr, strstr(Tessor::IO::iniLastErrorText(), "not a regular file"));
    EXPECT_EQ(9u, GetPrivateProfileIntA("s", "k", 9, fifo.dir().c_str()));
    EXPECT_EQ(0, WritePrivateProfileStringA("s", "k", "v", fifo.dir().c_str()));
}

}  // namespace
