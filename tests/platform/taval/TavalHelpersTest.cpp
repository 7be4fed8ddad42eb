#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "TavalTestSupport.h"

using taval_test::TempFolder;

TEST(TavalHelpers, HexTextIsBytesLowestFirstInUpperCase) {
    const struct {
        unsigned value;
        const char* text;
    } cases[] = {{0x9551D3ECu, "ECD35195"}, {0u, "00000000"}, {0x0000000Au, "0A000000"}, {0xFFFFFFFFu, "FFFFFFFF"}};
    for (const auto& c : cases) {
        char out[12];
        std::memset(out, 'x', sizeof out);
        hexInt2String(out, c.value);
        EXPECT_STREQ(out, c.text) << c.value;
    }
}

TEST(TavalHelpers, ExponentIsFloorOfLog2) {
    const struct {
        unsigned n;
        int e;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {512, 9}, {4096, 12}, {0x80000000u, 31}};
    for (const auto& c : cases) {
        EXPECT_EQ(getNumberInExp(c.n), c.e) << c.n;
    }
}

TEST(TavalHelpers, ChipSetsAndHardwareVersions) {
    const struct {
        const char* name;
        int chipSet;
        int version;
    } cases[] = {{"6706", 1, 240}, {"6716", 3, 300}, {"6716V31", 4, 310},
                 {"6716V32", 5, 320}, {"6726", 6, 400}, {"6605", 7, 600}};
    for (const auto& c : cases) {
        const CHIPSET_NAME_T* found = usbDeviceFindChipSet(c.name);
        ASSERT_NE(found, nullptr) << c.name;
        EXPECT_EQ(*reinterpret_cast<const int*>(found), c.chipSet);
        const _HW_VERSION_T* hw = usbDeviceFindHwVersion(c.chipSet);
        ASSERT_NE(hw, nullptr);
        EXPECT_EQ(hw->version, c.version);
        EXPECT_NE(std::string(hw->name).find(c.name), std::string::npos);
    }
    EXPECT_EQ(usbDeviceFindChipSet("6716v31"), nullptr);
    EXPECT_EQ(usbDeviceFindChipSet(""), nullptr);
    EXPECT_EQ(usbDeviceFindChipSet(nullptr), nullptr);
    EXPECT_EQ(usbDeviceFindHwVersion(2), nullptr);
    EXPECT_STREQ(usbDeviceFindEventName(HW_EVT_EJECT_FAILED), "HW_EVT_EJECT_FAILED");
    EXPECT_STREQ(usbDeviceFindEventName(-3), "HW_EVT_UNKNOWN");
}

TEST(TavalHelpers, RootDirectoryHoldsTheVolumeLabel) {
    unsigned char sector[512];
    std::memset(sector, 0x5A, sizeof sector);
    EXPECT_EQ(createRootDir(sector, "Flash"), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(sector), 11), "Flash      ");
    EXPECT_EQ(sector[11], 0x08);
    for (int i = 12; i < 512; ++i) {
        ASSERT_EQ(sector[i], 0) << i;
    }
    EXPECT_EQ(createRootDir(sector, ""), 1);
    for (int i = 0; i < 512; ++i) {
        ASSERT_EQ(sector[i], 0) << i;
    }
}

TEST(TavalHelpers, HostFilesMoveBytesAtTheirOffset) {
    TempFolder dir;
    const std::string path = dir.path() + "/f.bin";
    EXPECT_EQ(usbGetFileSize(path.c_str()), -1);
    EXPECT_EQ(usbWriteFile(path.c_str(), "abcdefgh", 8, 0), 8);
    EXPECT_EQ(usbWriteFile(path.c_str(), "XY", 2, 3), 2);
    EXPECT_EQ(usbGetFileSize(path.c_str()), 8);
    char buf[16] = {};
    EXPECT_EQ(usbReadFile(path.c_str(), buf, 16, 2), 6);
    EXPECT_STREQ(buf, "cXYfgh");
    // A write at offset 0 replaces the whole file, which is then the
    // operator's alone even when an earlier run left it more open.
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(usbWriteFile(path.c_str(), "z", 1, 0), 1);
    EXPECT_EQ(usbGetFileSize(path.c_str()), 1);
    struct stat st = {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(usbReadFile((dir.path() + "/missing").c_str(), buf, 4, 0), 0);
    EXPECT_EQ(usbGetFileSize(dir.path().c_str()), -1);
}

// On a full disk (here: a file-size limit below the new content) a whole
// file write fails and leaves the previous file as it was, with nothing
// beside it.
TEST(TavalHelpers, AWholeFileWriteThatFailsLeavesThePreviousFile) {
    TempFolder dir;
    const std::string path = dir.path() + "/0_CfgTable(r)";
    ASSERT_EQ(usbWriteFile(path.c_str(), "previous", 8, 0), 8);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit = {4, 4};
        ::signal(SIGXFSZ, SIG_IGN);
        _exit(setrlimit(RLIMIT_FSIZE, &limit) == 0 ? usbWriteFile(path.c_str(), "the new table", 13, 0) : 99);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    char buf[16] = {};
    EXPECT_EQ(usbReadFile(path.c_str(), buf, 16, 0), 8);
    EXPECT_STREQ(buf, "previous");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path(), path);
        ++files;
    }
    EXPECT_EQ(files, 1);
}
