#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "TavalTestSupport.h"
#include "platform/taval/ConfigTableSector.h"
#include "platform/taval/FaultRules.h"
#include "platform/taval/TimingModel.h"

using taval_test::Engine;
using taval_test::Keys;
using taval_test::makeDevice;
using taval_test::TempFolder;

namespace {

// 2 chips x 64 blocks x 16 pages x 4 sectors.
constexpr int kSpc = 64 * 16 * 4;
constexpr int kSpb = 16 * 4;

std::vector<unsigned char> pattern(int sectors, unsigned seed) {
    std::vector<unsigned char> v(size_t(sectors) * 512);
    for (size_t i = 0; i < v.size(); ++i) {
        v[i] = static_cast<unsigned char>((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
    }
    return v;
}

std::vector<unsigned char> tableSector(int length) {
    std::vector<unsigned char> t(size_t(length), 0);
    const unsigned char sig[8] = {0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5};
    std::memcpy(t.data(), sig, 8);
    for (int i = 12; i < 512; ++i) {
        t[size_t(i)] = static_cast<unsigned char>(i * 3);
    }
    Tessor::taval::sealTable(t.data());
    return t;
}

// A 4 KiB code piece whose last little-endian word is the XOR of the others.
std::vector<unsigned char> sealedCode() {
    std::vector<unsigned char> sealed(4096);
    for (size_t i = 0; i < sealed.size(); ++i) {
        sealed[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    uint32_t seal = 0;
    for (size_t i = 0; i + 4 < sealed.size(); i += 4) {
        seal ^= uint32_t(sealed[i]) | uint32_t(sealed[i + 1]) << 8 | uint32_t(sealed[i + 2]) << 16 |
                uint32_t(sealed[i + 3]) << 24;
    }
    for (int b = 0; b < 4; ++b) {
        sealed[4092 + size_t(b)] = static_cast<unsigned char>(seal >> (8 * b));
    }
    return sealed;
}

struct Plugged {
    TempFolder dir;
    Engine engine{1};
    std::string folder;
    _USB_DEVICE_T* r = nullptr;
    DEV_OPERATIONS_T* ops = nullptr;

    explicit Plugged(const Keys& keys = {}) {
        folder = makeDevice(dir.path(), "d0", keys);
        std::string error;
        EXPECT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
        r = engine.record(0);
        ops = r->operations;
    }
    // Pulls the device and plugs it in again: a new record.
    void replug() {
        ASSERT_EQ(engine.hub().unplug(0), 0);
        std::string error;
        ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
        r = engine.record(0);
    }
    std::vector<unsigned char> buffer(int sectors) const {
        return {r->dataBuffer, r->dataBuffer + size_t(sectors) * 512};
    }
    Tessor::taval::VirtualDevice& device() { return *engine.hub().device(0); }
};

}  // namespace

TEST(VirtualDevice, PlugInAnswersVersionAndFlashIdPerVariant) {
    const struct {
        const char* variant;
        const char* untabled;  // bytes 4..7 without a table
        const char* digits;    // bytes 4..7 with a table
        int length;
        bool dual;
    } cases[] = {
        {"6706", "2.40", "2.40", 512, false},    {"6716", "3.00", "3.00", 512, true},
        {"6716V31", "3.10", "3.10", 512, false}, {"6716V32", "3.20", "3.20", 512, true},
        {"6726", "4.00", "4.00", 513, false},    {"6605", "..0p", "6.00", 512, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        Plugged p(Keys{{"Device.Variant", c.variant}, {"Device.DualChannel", c.dual ? "1" : "0"},
                   {"Device.Chips", "4"}, {"Device.ChipsAnswering", "2"},
                   {"Faults.ReadErrorSectors", "64:5,65:6"}});
        EXPECT_EQ(p.engine.kinds(), (std::vector<int>{HW_EVT_LAYER_READY, HW_EVT_PLUG_IN}));
        EXPECT_EQ(p.r->slotIndex, 0);
        EXPECT_STREQ(p.r->driveText, "SIMd0");

        ASSERT_NE(p.ops->readVersionInfo(p.r), 0);
        EXPECT_EQ(p.r->dataLength, c.length);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(p.r->dataBuffer) + 4, 4), c.untabled);
        EXPECT_NE(std::memcmp(p.r->dataBuffer, "\x5A\xA5\x5A\xA5", 4), 0);

        // Chips 0 and 1 answer (each byte twice on dual channel); 2 and 3 do not.
        const unsigned char id[4] = {0xEC, 0xD3, 0x51, 0x95};
        for (int chip = 0; chip < 4; ++chip) {
            ASSERT_NE(p.ops->readFlashId(p.r, chip, FLASH_TYPE_INTERLEAVED), 0);
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(p.r->dataBuffer[2 * i], chip < 2 ? id[i] : 0xFF) << chip << ":" << i;
                EXPECT_EQ(p.r->dataBuffer[2 * i + 1], chip < 2 && c.dual ? id[i] : 0xFF) << chip << ":" << i;
            }
        }
        ASSERT_NE(p.ops->readFlashId(p.r, 0, FLASH_TYPE_PLAIN), 0);
        EXPECT_EQ(std::memcmp(p.r->dataBuffer, id, 4), 0);
        EXPECT_EQ(p.ops->readFlashId(p.r, 4, FLASH_TYPE_INTERLEAVED), 0);

        // Erase, program and read with the code correcting 5 symbols, not 6.
        const std::vector<unsigned char> data = pattern(2, 9);
        ASSERT_NE(p.ops->eraseBlocks(p.r, 0, kSpb, 1), 0);
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, kSpb, 2, data.data()), 0);
        ASSERT_NE(p.ops->readFlashSectors(p.r, 0, kSpb, 1), 0);
        EXPECT_EQ(p.buffer(1), std::vector<unsigned char>(data.begin(), data.begin() + 512));
        EXPECT_EQ(p.ops->readFlashSectors(p.r, 0, kSpb + 1, 1), 0);
        EXPECT_EQ(p.device().addressDisagreements(), 0u);

        // A table written to flash is found at the next plug-in and answers
        // as the version block, with the version digits over bytes 4..7.
        const std::vector<unsigned char> table = tableSector(c.length);
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 1, 2 * kSpb + 4, 1, table.data()), 0);
        p.replug();
        ASSERT_NE(p.ops->readVersionInfo(p.r), 0);
        EXPECT_EQ(p.device().bootSector(), kSpc + 2 * kSpb + 4);
        EXPECT_EQ(std::memcmp(p.r->dataBuffer, table.data(), 4), 0);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(p.r->dataBuffer) + 4, 4), c.digits);
        EXPECT_EQ(std::memcmp(p.r->dataBuffer + 8, table.data() + 8, size_t(c.length) - 8), 0);
    }
}

TEST(VirtualDevice, EccCorrectsFiveSymbolsAndFailsOnSix) {
    Plugged p(Keys{{"Faults.ReadErrorSectors", "8:5,9:6"}, {"Faults.Seed", "11"}});
    const std::vector<unsigned char> data = pattern(4, 1);
    ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 8, 4, data.data()), 0);

    ASSERT_NE(p.ops->readFlashSectors(p.r, 0, 8, 1), 0);
    EXPECT_EQ(p.buffer(1), std::vector<unsigned char>(data.begin(), data.begin() + 512));
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 0, 9, 1), 0);
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 0, 8, 4), 0);  // sector 9 spoils the run
    ASSERT_NE(p.ops->readFlashSectors(p.r, 0, 10, 2), 0);
    EXPECT_EQ(p.buffer(2), std::vector<unsigned char>(data.begin() + 1024, data.end()));

    // Without correction the flipped bits show.
    ASSERT_NE(p.ops->readSectorsNoEcc(p.r, 0, 8, 1), 0);
    EXPECT_NE(p.buffer(1), std::vector<unsigned char>(data.begin(), data.begin() + 512));
}

TEST(VirtualDevice, AddressFormsNormaliseAndCountDisagreements) {
    Plugged p;
    const std::vector<unsigned char> data = pattern(1, 2);
    // Within-chip form on chip 1 ...
    ASSERT_NE(p.ops->writeFlashSectors(p.r, 1, 5 * kSpb, 1, data.data()), 0);
    // ... is the same sector as the device-wide form.
    ASSERT_NE(p.ops->readFlashSectors(p.r, 1, kSpc + 5 * kSpb, 1), 0);
    EXPECT_EQ(p.buffer(1), data);
    EXPECT_EQ(p.device().addressDisagreements(), 0u);
    // Erase passes the block start inside the chip.
    ASSERT_NE(p.ops->eraseBlocks(p.r, 1, 5 * kSpb, 1), 0);
    ASSERT_NE(p.ops->readFlashSectors(p.r, 1, 5 * kSpb, 1), 0);
    EXPECT_EQ(p.buffer(1), std::vector<unsigned char>(512, 0xFF));
    EXPECT_EQ(p.device().addressDisagreements(), 0u);

    // A device-wide sector on another chip than the one passed is served and counted.
    ASSERT_NE(p.ops->readFlashSectors(p.r, 0, kSpc + 1, 1), 0);
    EXPECT_EQ(p.device().addressDisagreements(), 1u);

    // Out of range: no such chip, beyond the flash, a run past the end, bad counts.
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 2, 0, 1), 0);
    EXPECT_EQ(p.ops->readFlashSectors(p.r, -1, 0, 1), 0);
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 1, 2 * kSpc, 1), 0);
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 1, 2 * kSpc - 1, 2), 0);
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 0, 0, 0), 0);
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 0, 0, 801), 0);
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 0, -5, 1), 0);
    EXPECT_EQ(p.ops->eraseBlocks(p.r, 0, 3, 1), 0);  // not a block start
    EXPECT_EQ(p.ops->eraseBlocks(p.r, 1, 63 * kSpb, 2), 0);
}

TEST(VirtualDevice, ProgrammingClearsBitsOnlyAndStrictModeRefusesOtherData) {
    std::vector<unsigned char> ones(512, 0xF0);
    std::vector<unsigned char> other(512, 0x0F);
    {
        Plugged p;
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 0, 1, ones.data()), 0);
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 0, 1, ones.data()), 0);  // same data again: fine
        ASSERT_NE(p.ops->readFlashSectors(p.r, 0, 0, 1), 0);
        EXPECT_EQ(p.buffer(1), ones);
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 0, 1, other.data()), 0);
        ASSERT_NE(p.ops->readSectorsNoEcc(p.r, 0, 0, 1), 0);
        EXPECT_EQ(p.buffer(1), std::vector<unsigned char>(512, 0x00));
        // The two parities no longer describe the data.
        EXPECT_EQ(p.ops->readFlashSectors(p.r, 0, 0, 1), 0);
        // Partial-page programming: the next sector of the page is still free.
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 1, 1, other.data()), 0);
        ASSERT_NE(p.ops->readFlashSectors(p.r, 0, 1, 1), 0);
        EXPECT_EQ(p.buffer(1), other);
    }
    {
        Plugged p(Keys{{"Device.StrictProgram", "1"}});
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 0, 1, ones.data()), 0);
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 0, 1, ones.data()), 0);
        EXPECT_EQ(p.ops->writeFlashSectors(p.r, 0, 0, 1, other.data()), 0);
        ASSERT_NE(p.ops->readFlashSectors(p.r, 0, 0, 1), 0);
        EXPECT_EQ(p.buffer(1), ones);
    }
}

TEST(VirtualDevice, LongWritesCrossPagesAndBlocksAndSurviveReplug) {
    Plugged p;
    const std::vector<unsigned char> data = pattern(400, 3);
    const int start = kSpb - 10;
    ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, start, 400, data.data()), 0);
    p.replug();
    ASSERT_NE(p.ops->readFlashSectors(p.r, 0, start, 400), 0);
    EXPECT_EQ(p.buffer(400), data);
    EXPECT_EQ(p.r->dataLength, 400 * 512);
}

TEST(VirtualDevice, LogicalDiskReadsBackAndRefusesBeyondCapacity) {
    Plugged p(Keys{{"Device.LogicalSectors", "1000"}});
    const std::vector<unsigned char> data = pattern(128, 4);
    ASSERT_NE(p.ops->writeLogicalSectors(p.r, 872, 128, data.data()), 0);
    ASSERT_NE(p.ops->readLogicalSectors(p.r, 872, 128), 0);
    EXPECT_EQ(p.buffer(128), data);
    ASSERT_NE(p.ops->readLogicalSectors(p.r, 0, 1), 0);
    EXPECT_EQ(p.buffer(1), std::vector<unsigned char>(512, 0));
    EXPECT_EQ(p.ops->writeLogicalSectors(p.r, 873, 128, data.data()), 0);
    EXPECT_EQ(p.ops->readLogicalSectors(p.r, 999, 2), 0);
    EXPECT_EQ(p.ops->readLogicalSectors(p.r, 0xFFFFFFFFu, 1), 0);
    EXPECT_EQ(p.ops->readLogicalSectors(p.r, 0, 801), 0);
}

TEST(VirtualDevice, DeclaredFaultsFailTheirOperations) {
    Plugged p(Keys{{"Faults.BadBlocks", "5"},
               {"Faults.EraseFailBlocks", "3"},
               {"Faults.ProgramFailPages", "33"},  // block 2, page 1
               {"Faults.ChangedPages", "40"},      // block 2, page 8
               {"Faults.FailRead", "2"},
               {"Faults.FailTableToRam", "always"}});
    const std::vector<unsigned char> data = pattern(4, 5);
    EXPECT_EQ(p.ops->eraseBlocks(p.r, 0, 3 * kSpb, 1), 0);
    EXPECT_NE(p.ops->eraseBlocks(p.r, 0, 5 * kSpb, 1), 0);  // a bad block erases and stays bad
    EXPECT_NE(p.ops->eraseBlocks(p.r, 0, 4 * kSpb, 1), 0);
    EXPECT_EQ(p.ops->writeFlashSectors(p.r, 0, 5 * kSpb, 1, data.data()), 0);
    EXPECT_EQ(p.ops->writeFlashSectors(p.r, 0, 33 * 4 + 3, 1, data.data()), 0);
    EXPECT_NE(p.ops->writeFlashSectors(p.r, 0, 32 * 4, 4, data.data()), 0);

    EXPECT_NE(p.ops->readFlashSectors(p.r, 0, 32 * 4, 4), 0);
    EXPECT_EQ(p.ops->readFlashSectors(p.r, 0, 32 * 4, 4), 0);  // the second read fails
    EXPECT_NE(p.ops->readFlashSectors(p.r, 0, 32 * 4, 4), 0);
    EXPECT_EQ(p.buffer(4), data);

    ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 40 * 4, 1, data.data()), 0);
    ASSERT_NE(p.ops->readFlashSectors(p.r, 0, 40 * 4, 1), 0);
    EXPECT_NE(p.buffer(1), std::vector<unsigned char>(data.begin(), data.begin() + 512));

    EXPECT_EQ(p.ops->writeConfigTable2Ram(p.r, tableSector(512).data(), 0), 0);

    const std::vector<Tessor::taval::OpRecord> log = p.device().opLog();
    ASSERT_EQ(log.size(), 12u);
    EXPECT_EQ(log[0].kind, Tessor::taval::OpKind::Erase);
    EXPECT_EQ(log[0].args[1], 3 * kSpb);
    EXPECT_FALSE(log[0].ok);
    EXPECT_EQ(log[7].kind, Tessor::taval::OpKind::Read);
    EXPECT_FALSE(log[7].ok);
}

TEST(VirtualDevice, FractionFaultsFollowTheSeed) {
    Tessor::taval::Geometry g;
    g.blocksPerChip = 4096;
    auto badSet = [&](const char* seed) {
        Tessor::taval::DescriptionFile file;
        file.set("Faults.Seed", seed);
        file.set("Faults.BadBlockFraction", "0.05");
        Tessor::taval::FaultRules rules;
        std::string error;
        EXPECT_TRUE(rules.parse(file, g, &error)) << error;
        std::vector<int> bad;
        for (int b = 0; b < g.blocksPerChip; ++b) {
            if (rules.isFactoryBad(b)) {
                bad.push_back(b);
            }
        }
        return bad;
    };
    const std::vector<int> a = badSet("7");
    EXPECT_EQ(a, badSet("7"));
    EXPECT_NE(a, badSet("8"));
    EXPECT_GT(a.size(), 150u);
    EXPECT_LT(a.size(), 260u);
}

TEST(VirtualDevice, RemovalAndErrorRulesRaiseTheirEvents) {
    Plugged p(Keys{{"Faults.ErrorAfter", "1"}, {"Faults.ErrorCode", "5"}, {"Faults.RemoveAfter", "2"}});
    EXPECT_NE(p.ops->readVersionInfo(p.r), 0);
    EXPECT_NE(p.ops->readVersionInfo(p.r), 0);
    EXPECT_EQ(p.ops->readVersionInfo(p.r), 0);
    const std::vector<DEVICE_EVENT_T> events = p.engine.delivered();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[2].kind, HW_EVT_ERROR);
    EXPECT_EQ(events[2].errorCode, 5);
    EXPECT_EQ(events[2].device, p.r);
    EXPECT_EQ(events[3].kind, HW_EVT_REMOVED);
    EXPECT_EQ(p.engine.hub().device(0), nullptr);
}

TEST(VirtualDevice, ControllerRamTakesValidTablesOnlyAndCloseDropsIt) {
    Plugged p(Keys{{"Device.Variant", "6726"}});
    std::vector<unsigned char> table = tableSector(513);
    table[100] ^= 1;
    EXPECT_EQ(p.ops->writeConfigTable2Ram(p.r, table.data(), 0), 0);
    table[100] ^= 1;
    ASSERT_NE(p.ops->writeConfigTable2Ram(p.r, table.data(), 0), 0);
    EXPECT_EQ(p.device().ramTable(), table);
    const unsigned char code[16] = {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3};  // sealed
    EXPECT_NE(p.ops->downloadExternalCode(p.r, 1, code, 16), 0);
    EXPECT_EQ(p.ops->downloadExternalCode(p.r, 0, code, 0), 0);
    ASSERT_EQ(p.device().ramCode().size(), 1u);
    EXPECT_EQ(p.device().ramCode()[0].mode, 1);
    EXPECT_EQ(p.device().ramCode()[0].bytes, std::vector<uint8_t>(code, code + 16));

    EXPECT_NE(p.engine.init.commandEntry(&p.engine.init, p.r, HW_CMD_AFTER_PLUG_IN), 0);
    EXPECT_NE(p.engine.init.commandEntry(&p.engine.init, p.r, HW_CMD_CLOSE_DEVICE), 0);
    EXPECT_EQ(p.r->slotIndex, -1);
    EXPECT_TRUE(p.device().ramTable().empty());
    EXPECT_TRUE(p.device().ramCode().empty());
}

// The controller's loader takes a piece only in firmware mode 0 or 1 and only
// when its last little-endian word is the XOR of the others; a 6605 piece
// carries no seal. The modes entered stay on record after the tool closes.
TEST(VirtualDevice, ControllerTakesSealedCodeInItsTwoModes) {
    const std::vector<unsigned char> sealed = sealedCode();
    std::vector<unsigned char> broken = sealed;
    broken[100] ^= 1;
    std::vector<unsigned char> flippedSeal = sealed;
    flippedSeal[4095] ^= 0x80;
    const struct {
        const char* variant;
        int mode;
        const std::vector<unsigned char>* piece;
        int length;
        bool taken;
    } cases[] = {
        {"6716", 0, &sealed, 4096, true},      {"6716", 1, &sealed, 4096, true},
        {"6716", 2, &sealed, 4096, false},     {"6716", 0, &broken, 4096, false},
        {"6716", 1, &flippedSeal, 4096, false}, {"6716", 0, &sealed, 4, false},  // no word to seal
        {"6605", 0, &broken, 4096, true},      {"6605", 2, &sealed, 4096, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.variant) + " mode " + std::to_string(c.mode) + " length " +
                     std::to_string(c.length) + (c.piece == &sealed ? " sealed" : " unsealed"));
        Plugged p(Keys{{"Device.Variant", c.variant}});
        EXPECT_EQ(p.ops->downloadExternalCode(p.r, c.mode, c.piece->data(), c.length) != 0, c.taken);
        EXPECT_EQ(p.device().ramCode().size(), c.taken ? 1u : 0u);
        EXPECT_EQ(p.device().firmwareModes(), c.taken ? std::vector<int>{c.mode} : std::vector<int>{});
    }

    // The logical disk is served by the firmware the device booted with and
    // by the high-format image, not while a mode-0 image runs.
    Plugged p;
    const std::vector<unsigned char> data(512, 0x33);
    const struct {
        int mode;  // -1: the tool closes the device
        bool serves;
    } steps[] = {{0, false}, {0, false}, {1, true}, {1, true}, {0, false}, {-1, true}};
    EXPECT_NE(p.ops->readLogicalSectors(p.r, 0, 1), 0);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.mode);
        if (step.mode < 0) {
            EXPECT_NE(p.engine.init.commandEntry(&p.engine.init, p.r, HW_CMD_CLOSE_DEVICE), 0);
        } else {
            ASSERT_NE(p.ops->downloadExternalCode(p.r, step.mode, sealed.data(), 4096), 0);
        }
        EXPECT_EQ(p.ops->readLogicalSectors(p.r, 0, 1) != 0, step.serves);
        EXPECT_EQ(p.ops->writeLogicalSectors(p.r, 0, 1, data.data()) != 0, step.serves);
    }
    EXPECT_TRUE(p.device().ramCode().empty());
    EXPECT_EQ(p.device().firmwareModes(), (std::vector<int>{0, 1, 0}));
}

// A table in block mode over two planes of two ganged chips, four units:
// the firmware booted from it reads raw page q in multi-plane block q / 64,
// on unit q mod 4 (plane u mod 2 of chip u / 2) at page (q mod 64) / 4, and
// erases a raw block as the whole multi-plane block. Downloaded firmware, and
// a table without block mode, read the flash as it lies.
TEST(VirtualDevice, BlockModeTableGroupsTheAddressesOfTheBootedFirmware) {
    struct Page {
        int block, page;  // where it lies
        int rawPage;      // where the booted firmware finds it
    };
    const Page pages[] = {
        {5, 7, 2 * 64 + 7 * 4 + 1},   // plane 1 of chip 0, as the tool converts a block-mode page
        {66, 3, 1 * 64 + 3 * 4 + 2},  // plane 0 of chip 1
        {67, 15, 1 * 64 + 15 * 4 + 3},
    };
    for (const bool blockMode : {true, false}) {
        SCOPED_TRACE(blockMode ? "block mode" : "no block mode");
        Plugged p;
        std::vector<unsigned char> table = tableSector(512);
        table[0x0C + 15] = 0x21;                  // MaxPlanes 1, MaxChips 1 of the 6716's FLASH_INFO
        table[0x7F + 1] = blockMode ? 0x04 : 0x00;  // its CODE_CTRL's block-mode bit
        Tessor::taval::sealTable(table.data());
        ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 0, 1, table.data()), 0);
        for (const Page& g : pages) {
            const std::vector<unsigned char> data = pattern(4, unsigned(g.block));
            ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, (g.block * 16 + g.page) * 4, 4, data.data()), 0);
        }
        p.replug();
        ASSERT_EQ(p.device().bootSector(), 0);
        for (const Page& g : pages) {
            SCOPED_TRACE(g.block);
            const std::vector<unsigned char> data = pattern(4, unsigned(g.block));
            const int raw = blockMode ? g.rawPage : g.block * 16 + g.page;
            ASSERT_NE(p.ops->readFlashSectors(p.r, 0, raw * 4 + 1, 2), 0);
            EXPECT_EQ(p.buffer(2), std::vector<unsigned char>(data.begin() + 512, data.begin() + 3 * 512));
        }
        if (!blockMode) {
            continue;
        }
        // Raw block 4 is multi-plane block 1: blocks 2 and 3 of both chips.
        ASSERT_NE(p.ops->eraseBlocks(p.r, 0, 4 * kSpb, 1), 0);
        for (const Page& g : pages) {
            EXPECT_EQ(p.device().pageState(g.block * 16 + g.page) == Tessor::taval::PageState::Erased, g.block >= 66);
        }
        const std::vector<unsigned char> code = sealedCode();
        ASSERT_NE(p.ops->downloadExternalCode(p.r, 0, code.data(), 4096), 0);
        ASSERT_NE(p.ops->readFlashSectors(p.r, 0, (5 * 16 + 7) * 4, 1), 0);
        EXPECT_EQ(p.buffer(1), std::vector<unsigned char>(pattern(1, 5)));
    }
}

// LUN tables written byte by byte at the variant's offset: the controller
// serves the units they list.
TEST(VirtualDevice, RamTableGivesTheControllerItsLogicalUnits) {
    struct Case {
        const char* variant;
        int offset;
        int flagsB;
        bool slotBytesMarkEmpty;
    };
    for (const Case& c : {Case{"6716", 0x3E, 0x39, false}, Case{"6706", 0x49, 0x35, true},
                          Case{"6726", 0x43, 0x39, false}, Case{"6605", 0x3C, 0x39, false}}) {
        SCOPED_TRACE(c.variant);
        Plugged p(Keys{{"Device.Variant", c.variant}});
        std::vector<unsigned char> table = tableSector(c.variant == std::string("6726") ? 513 : 512);
        unsigned char* t = table.data() + c.offset;
        std::memset(t, 0, 0x3D);
        t[0] = 1;                                        // last LUN
        t[1] = 0, t[2] = 1, t[3] = c.slotBytesMarkEmpty ? 0xFF : 2, t[4] = c.slotBytesMarkEmpty ? 0xFF : 3;
        t[5] = 0x11, t[6] = 0x12;                        // flags A
        t[9] = 0x85, t[10] = 0x80;                       // disk types
        t[13] = 0x00, t[14] = 0x01, t[15] = 0x02, t[16] = 0x03;  // slot 1 start
        t[0x19 + 2] = 0x10;                              // slot 0: 0x1000 sectors
        t[0x1D + 1] = 0x02, t[0x1D + 3] = 0x05;          // slot 1: 0x20005 sectors
        t[c.flagsB + 1] = 0x0A;                          // slot 1 hidden, write-protected
        Tessor::taval::sealTable(table.data());
        ASSERT_NE(p.ops->writeConfigTable2Ram(p.r, table.data(), 0), 0);
        const Tessor::taval::RamLunTable units = p.device().ramUnits();
        EXPECT_EQ(units.lastLun, 1);
        EXPECT_EQ(units.slot[0].start, 0u);
        EXPECT_EQ(units.slot[0].capacity, 0x1000u);
        EXPECT_EQ(units.slot[0].diskType, 0x85);
        EXPECT_EQ(units.slot[0].flagsA, 0x11);
        EXPECT_FALSE(units.slot[0].hidden());
        EXPECT_EQ(units.slot[1].start, 0x00010203u);
        EXPECT_EQ(units.slot[1].capacity, 0x00020005u);
        EXPECT_EQ(units.slot[1].diskType, 0x80);
        EXPECT_TRUE(units.slot[1].hidden() && units.slot[1].writeProtected());
        EXPECT_FALSE(units.slot[1].readProtected());
        EXPECT_EQ(units.slot[2].capacity, 0u);

        // A refused table leaves the units of the last good one.
        table[0x100] ^= 1;
        EXPECT_EQ(p.ops->writeConfigTable2Ram(p.r, table.data(), 0), 0);
        EXPECT_EQ(p.device().ramUnits().slot[1].capacity, 0x00020005u);
    }
}

TEST(VirtualDevice, EjectReportsItsOutcome) {
    {
        Plugged p(Keys{{"Faults.FailEjectOutcome", "1"}});
        ASSERT_NE(p.ops->ejectDisk(p.r), 0);
        EXPECT_NE(p.ops->readVersionInfo(p.r), 0);  // still there after a failed eject
        ASSERT_NE(p.ops->ejectDisk(p.r), 0);
        EXPECT_EQ(p.ops->readVersionInfo(p.r), 0);
        EXPECT_EQ(p.engine.kinds(), (std::vector<int>{HW_EVT_LAYER_READY, HW_EVT_PLUG_IN, HW_EVT_EJECT_FAILED,
                                                      HW_EVT_EJECTED}));
    }
    {
        Plugged p(Keys{{"Faults.FailEjectCommand", "always"}});
        EXPECT_EQ(p.ops->ejectDisk(p.r), 0);
        EXPECT_EQ(p.engine.kinds(), (std::vector<int>{HW_EVT_LAYER_READY, HW_EVT_PLUG_IN}));
    }
}

TEST(VirtualDevice, VolumeAndPartitionOperations) {
    Plugged p(Keys{{"Faults.FailSwitch", "2"}});
    EXPECT_NE(p.ops->volumeLock(p.r), 0);
    EXPECT_NE(p.ops->volumeLockAgain(p.r), 0);
    EXPECT_NE(p.ops->volumeUnlock(p.r), 0);
    EXPECT_EQ(p.device().lockCount(), 1);
    EXPECT_NE(p.ops->volumeControl(p.r->volume, VOLUME_RUN_START), 0);
    EXPECT_NE(p.ops->volumeControl(p.r->volume, VOLUME_AFTER_FLASH_ID), 0);
    EXPECT_EQ(p.ops->volumeControl(p.r->volume, 5), 0);
    EXPECT_NE(p.ops->switchPartition(p.r, 0, 0), 0);
    EXPECT_EQ(p.ops->switchPartition(p.r, 0, 0), 0);  // the second switch fails by its rule
    EXPECT_EQ(p.ops->switchPartition(p.r, 0, 1), 0);  // without a table only unit 0 is served
    EXPECT_EQ(p.ops->switchPartition(p.r, 0, 4), 0);
    EXPECT_NE(p.ops->partitionProtect(p.r, 3, 0), 0);
    EXPECT_EQ(p.ops->partitionProtect(p.r, 4, 0), 0);
    EXPECT_NE(p.ops->resetDevice(p.r, 0), 0);
}

TEST(VirtualDevice, ScanCommandsTheFirmwareDoesNotKnowAnswerCheckCondition) {
    Plugged p;
    const unsigned char param[4] = {0, 0x55, 0xAA, 1};
    EXPECT_EQ(p.ops->readScanSectors(p.r, 0, 0, param, 7, 4, 1, 1), 0);
    EXPECT_EQ(p.ops->writeScanSectors(p.r, 0, 0, 0, 3, 0, 0, 1, param), 0);  // prepare needs FF FF
    unsigned char cdb[16] = {0xD4};  // operation 0
    unsigned char buf[1024];
    int status = -1;
    ASSERT_NE(scsiPassThroughIn(p.r->diskHandle, cdb, buf, sizeof buf, 20, &status), 0);
    EXPECT_EQ(status, 2);
    ASSERT_EQ(p.engine.hub().unplug(0), 0);
    EXPECT_EQ(scsiPassThroughIn(p.r->diskHandle, cdb, buf, sizeof buf, 20, &status), 0);
}

TEST(VirtualDevice, MalformedDescriptionsAreRefusedNamingFileKeyAndValue) {
    const struct {
        const char* key;
        const char* value;
    } cases[] = {
        {"Device.Variant", "6799"},           {"Device.SectorsPerPage", "3"},  {"Device.Chips", "5"},
        {"Device.BlocksPerChip", "0"},        {"Device.PagesPerBlock", "x1"},  {"Device.FlashId", "XYZ"},
        {"Device.FlashId", "FFD35195"},       {"Device.ChipsAnswering", "3"},  {"Device.Timing", "fast"},
        {"Device.Colour", "blue"},            {"Faults.BadBlocks", "999999"},  {"Faults.BadBlocks", "4-2"},
        {"Faults.BadBlockFraction", "2"},     {"Faults.Bogus", "1"},           {"Faults.FailNothing", "1"},
        {"Faults.FailRead", "0"},             {"Faults.ReadErrorSectors", "5"}, {"Device.BlocksPerChip", "2000000"},
    };
    TempFolder dir;
    Engine engine(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        const std::string folder = makeDevice(dir.path(), "bad", {{c.key, c.value}});
        std::string error;
        EXPECT_LT(engine.hub().plug(0, folder, &error), 0);
        EXPECT_NE(error.find("device.ini"), std::string::npos) << error;
        EXPECT_NE(error.find(c.key), std::string::npos) << error;
        EXPECT_NE(error.find(std::string("'") + c.value), std::string::npos) << error;
        EXPECT_EQ(engine.hub().device(0), nullptr);
    }
    std::string error;
    EXPECT_LT(engine.hub().plug(0, dir.path() + "/none", &error), 0);
    EXPECT_LT(engine.hub().plug(3, makeDevice(dir.path(), "good"), &error), 0);
    EXPECT_EQ(engine.kinds(), std::vector<int>{HW_EVT_LAYER_READY});
}

TEST(VirtualDevice, OneFolderPlugsIntoOnePortOnly) {
    TempFolder dir;
    Engine engine(2);
    const std::string folder = makeDevice(dir.path(), "d");
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, folder, &error), 0);
    EXPECT_LT(engine.hub().plug(1, folder + "/.", &error), 0);
    EXPECT_LT(engine.hub().plug(0, makeDevice(dir.path(), "e"), &error), 0);
    EXPECT_EQ(engine.hub().unplug(1), -1);
}

TEST(VirtualDevice, RealisticTimingTakesTheModelledTimeScaled) {
    using Tessor::taval::TimingModel;
    EXPECT_EQ(TimingModel::cost(1, 0, 0, 0), 25);
    EXPECT_EQ(TimingModel::cost(0, 1, 0, 0), 200);
    EXPECT_EQ(TimingModel::cost(0, 0, 1, 0), 2000);
    EXPECT_EQ(TimingModel::cost(0, 0, 0, 35 * 1000 * 1000), 1000 * 1000);

    Plugged p(Keys{{"Device.Timing", "realistic"}});
    const double scale = sharedGetTimeScale();
    sharedSetTimeScale(0.05);
    const std::vector<unsigned char> data = pattern(64, 6);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(p.ops->eraseBlocks(p.r, 0, 0, 32), 0);
    ASSERT_NE(p.ops->writeFlashSectors(p.r, 0, 0, 64, data.data()), 0);
    ASSERT_NE(p.ops->readFlashSectors(p.r, 0, 0, 64), 0);
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    sharedSetTimeScale(scale);
    // 32 erases, 16 pages programmed and read, 64 KiB over USB.
    const int64_t modelled = TimingModel::cost(16, 16, 32, 2 * 64 * 512);
    EXPECT_GE(us.count(), int64_t(double(modelled) * 0.05) - 50);
}
