// 1 Gbit simulated devices taken from plug-in through the scan and the
// low-level format: per controller variant the device ends the low format
// without an error and its flash, read by a reader of the test's own, holds
// every copy of the system area whole; it was never programmed twice between
// erases and boots from a table after a re-plug. A failure of each object of
// the system area fails its device with the object's code while the other
// port carries on, and the low format's bar ends at its total on every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "EngineHarness.h"
#include "platform/taval/OpLog.h"
#include "DeviceTable.h"
#include "support/CodeTree.h"
#include "support/SystemAreaReader.h"
#include "support/Waits.h"
#include "usb/cfg/CodeFactory.h"

namespace {

using namespace engine_test;
using Tessor::taval::OpKind;

constexpr const char* ONE_GBIT = "ECD35195";
constexpr int LOW_FORMAT_TOTAL = 250;

struct Part {
    const char* chipSet;
    int copies;
    Keys flash = {{"Device.FlashId", ONE_GBIT}, {"Device.BlocksPerChip", "1024"}, {"Device.PagesPerBlock", "64"}};
    int priority = 1;
};

// Triple-level-cell parts: 192 real pages of 256 in 1300 real blocks of 2048,
// and 94 real pages of 128.
const Keys TLC_192_FLASH = {{"Device.FlashId", "98DE9482"},        {"Device.BlocksPerChip", "2048"},
                            {"Device.RealBlocksPerChip", "1300"},  {"Device.PagesPerBlock", "256"},
                            {"Device.RealPagesPerBlock", "192"},   {"Device.SectorsPerPage", "8"}};
const Keys TLC_94_FLASH = {{"Device.FlashId", TLC_94_FLASH_ID},
                           {"Device.BlocksPerChip", "1024"},
                           {"Device.PagesPerBlock", "128"},
                           {"Device.RealPagesPerBlock", "94"}};

void PrintTo(const Part& part, std::ostream* out)
{
    *out << part.chipSet << " x" << part.copies << " priority " << part.priority;
}

// Codes the low format fails a device with.
const std::vector<int> LOW_FORMAT_CODES = {0x8009, 0x800A, 0x8011, 0x8020, 0x8021, 0x802A,
                                           0x802B, 0x8040, 0x8041, 0x8043};

// A station of two ports in a working folder with the firmware images.
class LowFormatStation {
public:
    LowFormatStation(const char* chipSet, int copies) : m_back{std::filesystem::current_path()}
    {
        UsbConfiguration* config = UsbConfiguration::instance();
        config->setChipSet(chipSet);
        config->setCfgTableCount(copies);
        config->addScanCodeImage(chipSet, "releases/code/scan_6716.img");
        config->addUdiskCodeImage(chipSet, "releases/code/udisk_6716.img");
        const std::filesystem::path station = EngineEnvironment::instance().folder() + "/station";
        code_test::makeTree(station);
        std::filesystem::current_path(station);
    }

    ~LowFormatStation() { std::filesystem::current_path(m_back); }

private:
    std::filesystem::path m_back;
};

std::string makeDevice(const std::string& name, const char* chipSet, Keys keys)
{
    keys.insert({{"Device.Variant", chipSet}, {"Device.StrictProgram", "1"}});
    return EngineEnvironment::instance().makeDevice(name, keys);
}

// Plugs the device in and starts it once it waits; scan priority 1 keeps it
// in the single-plane layout, where the flag table and the page bitmap are
// written too, priority 0 lets the scan choose block mode.
void plugAndStart(Engine& engine, int port, const std::string& folder, int scanLevel = -1, int priority = 1)
{
    std::string error;
    ASSERT_EQ(engine.hub().plug(port, folder, &error), 0) << error;
    ASSERT_TRUE(engine.waitState(port, "StateWait")) << engine.stateOf(port);
    engine.request(port, UI_SIG_START, scanLevel, priority);
}

// Waits until the port's device has left the low format (the high format
// follows at once and may have ended already) and its reports since `from`
// have come; returns those reports.
std::vector<Report> leaveLowFormat(Engine& engine, int port, size_t from)
{
    const std::chrono::seconds limit(60);
    std::string state;
    EXPECT_TRUE(test_support::waitUntil(
        [&] {
            state = engine.stateOf(port);
            return state != "StateUnplug" && state != "StateWait" && state != "StateScan" &&
                   state != "StateLowFormat";
        },
        limit))
        << "still in " << state;
    // Reports reach the recording UI on its own thread, after the state.
    const size_t expected = from + (state == "StateError" ? 3 : 2);
    std::vector<Report> reports;
    EXPECT_TRUE(test_support::waitUntil(
        [&] {
            reports = engine.ui().reports(port);
            return reports.size() >= expected;
        },
        limit))
        << ::testing::PrintToString(reports);
    return std::vector<Report>(reports.begin() + long(std::min(from, reports.size())), reports.end());
}

// Found and ready, then nothing that fails the low format.
void expectLowFormatted(const std::vector<Report>& reports, int port)
{
    ASSERT_GE(reports.size(), 2u) << ::testing::PrintToString(reports);
    EXPECT_EQ(std::vector<Report>(reports.begin(), reports.begin() + 2),
              (std::vector<Report>{{UI_SIG_FOUND, port, 0}, {UI_SIG_READY, port, 0}}));
    for (size_t i = 2; i < reports.size(); ++i) {
        EXPECT_EQ(std::count(LOW_FORMAT_CODES.begin(), LOW_FORMAT_CODES.end(), reports[i].code), 0)
            << ::testing::PrintToString(reports);
    }
}

// Pulls the device out and lets the port go, as the window does.
void release(Engine& engine, int port)
{
    ASSERT_EQ(engine.hub().unplug(port), 0);
    ASSERT_NE(engine.ui().waitLastSignal(port, UI_SIG_PLUGGED_OFF), -1)
        << ::testing::PrintToString(engine.ui().reports(port));
    engine.request(port, UI_SIG_RELEASED);
    ASSERT_TRUE(engine.waitState(port, "StateUnplug")) << engine.stateOf(port);
}

class EngineLowFormat : public ::testing::TestWithParam<Part> {};

TEST_P(EngineLowFormat, ScannedDeviceIsLowFormattedAndBootsFromItsTable)
{
    const Part& part = GetParam();
    const std::string folder = makeDevice(std::string("LowFormat") + part.chipSet + std::to_string(part.copies) + "p" +
                                              std::to_string(part.priority),
                                          part.chipSet, part.flash);
    LowFormatStation station(part.chipSet, part.copies);
    Engine engine(2, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    ASSERT_NE(Tessor::usb::CodeFactory::instance(), nullptr);
    plugAndStart(engine, 0, folder, -1, part.priority);
    expectLowFormatted(leaveLowFormat(engine, 0, 0), 0);

    // The flash read on its own, by the layouts alone.
    const system_area::SystemArea area = system_area::read(folder);
    ASSERT_EQ(area.error, "");
    EXPECT_EQ(area.problems, std::vector<std::string>{});
    ASSERT_EQ(area.copies.size(), size_t(part.copies));
    const dpf_test::Bytes code = code_test::flashCode(std::string(part.chipSet) == "6605");
    const Tessor::taval::Geometry& g = engine.hub().device(0)->description().geometry;
    std::vector<int64_t> tables;
    for (const system_area::Copy& copy : area.copies) {
        SCOPED_TRACE("copy at page " + std::to_string(copy.tablePage));
        ASSERT_GE(copy.code.size(), code.size());
        EXPECT_TRUE(std::equal(code.begin(), code.end(), copy.code.begin()));
        EXPECT_EQ(copy.buildRecord.totalCapacity, uint32_t(g.totalSectors()));
        EXPECT_GT(copy.buildRecord.realCapacity, 0u);
        // Block mode groups the planes and keeps no page bitmap.
        EXPECT_EQ(copy.pageBitmap.empty(), part.priority == 0);
        tables.push_back(copy.tablePage * g.sectorsPerPage);
    }
    // Every copy names page-bitmap blocks of its own, which hold the bitmap.
    std::set<int> bitmapBlocks;
    for (const system_area::Copy& copy : area.copies) {
        for (int block : copy.pageBitmapBlocks) {
            EXPECT_TRUE(bitmapBlocks.insert(block).second) << "page-bitmap block " << block << " named twice";
        }
        EXPECT_EQ(copy.pageBitmap, area.copies[0].pageBitmap);
    }
    ASSERT_FALSE(area.indexTables.empty());
    EXPECT_EQ(area.indexTables[0].set, 0);
    EXPECT_FALSE(area.indexTables[0].dataBlocks.empty());

    ASSERT_EQ(engine.hub().unplug(0), 0);
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
    const int64_t boot = engine.hub().device(0)->bootSector();
    EXPECT_NE(std::find(tables.begin(), tables.end(), boot), tables.end()) << boot;
}

// Chip set 3 (firmware 3.00), chip set 4 (3.10, index pointer), chip set 7
// (6.00) with two copies, chip set 3 on a triple-level-cell part whose
// copies repeat the table on partner pages, and chip sets 3 and 7 at scan
// priority 0, where the scan groups the planes into block mode.
INSTANTIATE_TEST_SUITE_P(Variants, EngineLowFormat,
                         ::testing::Values(Part{"6716", 1}, Part{"6716V31", 1}, Part{"6605", 2},
                                           Part{"6716", 2, TLC_192_FLASH},
                                           Part{"6716", 1, Part{}.flash, 0}, Part{"6605", 2, Part{}.flash, 0}));

// The external-code file replaced while the station runs: the next device
// started gets the new image on its flash, one piece longer than the old.
TEST(EngineLowFormatCode, AnImageReplacedBetweenTwoDevicesReachesTheSecond)
{
    const std::string first = makeDevice("CodeBeforeReplace", "6716", Part{}.flash);
    const std::string second = makeDevice("CodeAfterReplace", "6716", Part{}.flash);
    LowFormatStation station("6716", 1);
    Engine engine(2, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    plugAndStart(engine, 0, first);
    ASSERT_EQ(engine.waitRunEnded(0), "StateBuildOk");

    const dpf_test::Bytes replaced = dpf_test::contentOf("replaced external code", code_test::kExternalSize + 4096);
    dpf_test::writeFile(std::filesystem::current_path() / "releases" / code_test::images().front().diskName,
                        replaced);
    plugAndStart(engine, 1, second);
    ASSERT_EQ(engine.waitRunEnded(1), "StateBuildOk");

    const dpf_test::Bytes oldCode = code_test::flashCode(false);
    const dpf_test::Bytes newCode = code_test::flashCode(replaced, false);
    for (const auto& [folder, code] : {std::pair{first, oldCode}, std::pair{second, newCode}}) {
        SCOPED_TRACE(folder);
        const system_area::SystemArea area = system_area::read(folder);
        EXPECT_EQ(area.problems, std::vector<std::string>{});
        ASSERT_EQ(area.copies.size(), 1u);
        const dpf_test::Bytes& onFlash = area.copies[0].code;
        EXPECT_TRUE(onFlash.size() >= code.size() && std::equal(code.begin(), code.end(), onFlash.begin()));
    }
}

// An external image of `pieces` 4 KB pieces, two code pages each, against
// the code pages a variant's code-control record lists: 30 for the 6716, 40
// for the 149-byte layouts. An image the record cannot list fails its device,
// whose report names the image, the pages it needs and the limit.
struct CodeLimit {
    const char* chipSet;
    int pieces;
    int code;  // 0: built
};

void PrintTo(const CodeLimit& c, std::ostream* out) { *out << c.chipSet << " with " << c.pieces << " pieces"; }

class EngineCodePageLimit : public ::testing::TestWithParam<CodeLimit> {};

TEST_P(EngineCodePageLimit, EveryCodePageIsListedOrTheDeviceFails)
{
    const CodeLimit& c = GetParam();
    const std::string folder =
        makeDevice(std::string("CodeLimit") + c.chipSet + "-" + std::to_string(c.pieces), c.chipSet, Part{}.flash);
    LowFormatStation station(c.chipSet, 1);
    const dpf_test::Bytes image = dpf_test::contentOf("large external", size_t(c.pieces) * 4096);
    dpf_test::writeFile(std::filesystem::path("releases") / code_test::images().front().diskName, image);
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    plugAndStart(engine, 0, folder);
    const std::vector<Report> reports = leaveLowFormat(engine, 0, 0);
    if (c.code != 0) {
        EXPECT_EQ(reports, (std::vector<Report>{{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}, {UI_SIG_STATUS, 0, c.code}}));
        const std::string cause = engine.ui().lastCause(0);
        const std::string limit = std::string(c.chipSet) == "6716" ? "30" : "40";
        const std::string needs = "needs " + std::to_string(2 * c.pieces) + " code pages";
        for (const std::string& part : {std::string("VOR_MP3_Code.img"), needs, "at most " + limit}) {
            EXPECT_NE(cause.find(part), std::string::npos) << cause;
        }
        return;
    }
    expectLowFormatted(reports, 0);
    const system_area::SystemArea area = system_area::read(folder);
    EXPECT_EQ(area.problems, std::vector<std::string>{});
    ASSERT_EQ(area.copies.size(), 1u);
    const system_area::Copy& copy = area.copies[0];
    EXPECT_EQ(copy.codePages.size(), size_t(2 * c.pieces));
    const dpf_test::Bytes code = code_test::flashCode(image, false);
    EXPECT_TRUE(copy.code == code);
}

INSTANTIATE_TEST_SUITE_P(Records, EngineCodePageLimit,
                         ::testing::Values(CodeLimit{"6716", 15, 0}, CodeLimit{"6716", 18, 0x8021},
                                           CodeLimit{"6716V31", 20, 0}, CodeLimit{"6716V31", 21, 0x8021}));

// One object of the system area that fails, and the code its device gets.
struct Fault {
    std::string object;
    std::string rule;  // "Faults." key; the value is the object's page
    int code;
};

// A produced index-pointer device, formatted again at scan level 3 (its
// saved bitmaps read back, so the system area lands where it did) with one
// fault at a time, beside a fresh device on the other port.
TEST(EngineLowFormatFaults, EachObjectFailsOnlyItsDeviceWithItsCode)
{
    const char* chipSet = "6716V31";
    const Keys flash = Part{chipSet, 2}.flash;
    const std::string folder = makeDevice("Faulty", chipSet, flash);
    LowFormatStation station(chipSet, 2);
    Engine engine(2, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    plugAndStart(engine, 0, folder);
    expectLowFormatted(leaveLowFormat(engine, 0, 0), 0);
    engine.expectBarEndsAtTotal(0, 0, "StateLowFormat", LOW_FORMAT_TOTAL);
    const system_area::SystemArea first = system_area::read(folder);
    ASSERT_EQ(first.problems, std::vector<std::string>{});
    ASSERT_EQ(first.copies.size(), 2u);

    // The second run writes the same system area again, with the same bar.
    release(engine, 0);
    size_t reportsBefore = engine.ui().reports(0).size();
    const size_t progressBefore = engine.ui().progress(0).size();
    plugAndStart(engine, 0, folder, 3);
    const std::shared_ptr<Tessor::taval::VirtualDevice> device = engine.hub().device(0);
    expectLowFormatted(leaveLowFormat(engine, 0, reportsBefore), 0);
    engine.expectBarEndsAtTotal(0, progressBefore, "StateLowFormat", LOW_FORMAT_TOTAL);
    const system_area::SystemArea second = system_area::read(folder);
    EXPECT_EQ(second.problems, std::vector<std::string>{});
    ASSERT_EQ(second.copies.size(), 2u);
    EXPECT_EQ(second.copies[0].tablePage, first.copies[0].tablePage);
    // The system block's erase is the last erase before anything is programmed.
    int erases = 0;
    int systemErase = 0;
    for (const Tessor::taval::OpRecord& op : device->opLog()) {
        if (op.kind == OpKind::Program) {
            break;
        }
        if (op.kind == OpKind::Erase) {
            systemErase = ++erases;
        }
    }
    ASSERT_GT(systemErase, 0);

    const system_area::Copy& copy = first.copies[0];
    ASSERT_FALSE(copy.indexRecords.empty());
    ASSERT_FALSE(copy.codePages.empty());
    ASSERT_FALSE(copy.pageBitmapPages.empty());
    ASSERT_FALSE(first.indexTables.empty());
    const auto page = [](int64_t p) { return std::to_string(p); };
    const std::vector<Fault> faults = {
        {"system block erase", "FailErase=" + std::to_string(systemErase), 0x802A},
        {"index record", "ProgramFailPages=" + page(copy.indexRecords[0]), 0x8043},
        {"table", "ProgramFailPages=" + page(copy.tablePage), 0x8009},
        {"code", "ProgramFailPages=" + page(copy.codePages[0]), 0x800A},
        {"flag table", "ProgramFailPages=" + page(copy.flagPage), 0x8011},
        {"page bitmap", "ProgramFailPages=" + page(copy.pageBitmapPages[0]), 0x8011},
        {"index tables", "ProgramFailPages=" + page(first.indexTables[0].level1Page), 0x802B},
        {"table read back", "ChangedPages=" + page(copy.tablePage), 0x8009},
        {"index record read back", "ChangedPages=" + page(copy.indexRecords[0]), 0x8043},
    };
    const test_support::DeviceKeys clean = test_support::readDeviceIni(folder);
    for (size_t i = 0; i < faults.size(); ++i) {
        const Fault& fault = faults[i];
        SCOPED_TRACE(fault.object);
        release(engine, 0);
        test_support::writeDeviceIni(folder, clean, test_support::faultRule(fault.rule));
        const std::string other = makeDevice("Other" + std::to_string(i), chipSet, flash);
        reportsBefore = engine.ui().reports(0).size();
        const size_t otherBefore = engine.ui().reports(1).size();
        plugAndStart(engine, 0, folder, 3);
        plugAndStart(engine, 1, other);
        const std::vector<Report> failed = leaveLowFormat(engine, 0, reportsBefore);
        EXPECT_EQ(failed, (std::vector<Report>{{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0},
                                               {UI_SIG_STATUS, 0, fault.code}}));
        EXPECT_EQ(engine.stateOf(0), "StateError");
        expectLowFormatted(leaveLowFormat(engine, 1, otherBefore), 1);
        release(engine, 1);
    }
}

// On the 6605 the external-code index is read back too: a page of it that
// reads back changed fails the device as its code does.
TEST(EngineLowFormatFaults, AChangedExternalCodeIndexFailsItsDevice)
{
    const char* chipSet = "6605";
    const std::string folder = makeDevice("FaultyIndex", chipSet, Part{}.flash);
    LowFormatStation station(chipSet, 2);
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    plugAndStart(engine, 0, folder);
    expectLowFormatted(leaveLowFormat(engine, 0, 0), 0);
    const system_area::SystemArea area = system_area::read(folder);
    ASSERT_EQ(area.copies.size(), 2u);
    ASSERT_GE(area.copies[1].codeIndexPage, 0);

    release(engine, 0);
    test_support::writeDeviceIni(folder, test_support::readDeviceIni(folder),
                                 {{"Faults.ChangedPages", std::to_string(area.copies[1].codeIndexPage)}});
    const size_t before = engine.ui().reports(0).size();
    plugAndStart(engine, 0, folder, 3);
    EXPECT_EQ(leaveLowFormat(engine, 0, before),
              (std::vector<Report>{{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}, {UI_SIG_STATUS, 0, 0x800A}}));
}

// The 6716 table keeps the password of an encrypted unit in its descriptor
// block, 18 bytes after the block's start at 0x100; empty when the copy
// holds no table.
std::string tablePassword(const system_area::Copy& copy)
{
    constexpr size_t field = 0x100 + 18;
    constexpr size_t length = 18;
    if (copy.table.size() < field + length) {
        return "";
    }
    const char* text = reinterpret_cast<const char*>(copy.table.data() + field);
    return std::string(text, strnlen(text, length));
}

// The system area of a produced device, read on its own: one whole copy
// holding the code image, which the device boots from.
system_area::Copy expectWholeAndBooting(const std::string& folder, bool whole = false)
{
    const system_area::SystemArea area = system_area::read(folder);
    EXPECT_EQ(area.problems, std::vector<std::string>{});
    if (area.copies.size() != 1) {
        ADD_FAILURE() << area.copies.size() << " copies";
        return {};
    }
    const system_area::Copy& copy = area.copies[0];
    const dpf_test::Bytes code = code_test::flashCode(whole);
    EXPECT_TRUE(copy.code.size() >= code.size() && std::equal(code.begin(), code.end(), copy.code.begin()));
    std::string error;
    const std::shared_ptr<Tessor::taval::VirtualDevice> device = Tessor::taval::VirtualDevice::open(folder, &error);
    EXPECT_TRUE(device) << error;
    if (device) {
        EXPECT_EQ(device->bootSector(), copy.tablePage * device->description().geometry.sectorsPerPage);
    }
    return copy;
}

// The settings the device is produced and used with: one encrypted unit,
// scanned at `priority` (0 groups the planes into block mode).
Sptr<ConfigInfo> encryptedSettings(Engine& engine, int priority)
{
    Sptr<ConfigInfo> settings(new ConfigInfo(engine.ui().getConfigInfo()));
    settings->getScanConfig()->setScanPriority(priority);
    settings->setPassword("first");
    settings->getPartInfo(0)->setIsEncrypted(true);
    return settings;
}

constexpr LOGIN_OP_T CHANGE_PASSWORD = 3;

// User and login runs skip the low format and rewrite the system block of a
// produced device in place: the user run leaves table, code and flag table
// whole (the table keeps the system-area counts it held), a password change
// lands in the table, and a table that cannot be written ends the login run
// in the error state. In block mode the device booted from its table reads
// the system pages grouped over its planes.
struct InPlace {
    const char* chipSet;
    int priority;
    const char* flashName = "";
    Keys flash = Part{}.flash;
};

void PrintTo(const InPlace& p, std::ostream* out)
{
    *out << p.chipSet << p.flashName << " at scan priority " << p.priority;
}

class EngineInPlace : public ::testing::TestWithParam<InPlace> {};

TEST_P(EngineInPlace, UserAndLoginRunsRewriteTheSystemBlockOfAProducedDevice)
{
    const char* chipSet = GetParam().chipSet;
    const int priority = GetParam().priority;
    const bool v6605 = std::string(chipSet) == "6605";
    const std::string folder = makeDevice("InPlace", chipSet, GetParam().flash);
    LowFormatStation station(chipSet, 1);
    std::string error;
    {
        Engine factory(1, FUNCTION_FACTORY);
        ASSERT_TRUE(factory.ui().waitLayerReady());
        ASSERT_EQ(factory.hub().plug(0, folder, &error), 0) << error;
        ASSERT_TRUE(factory.waitState(0, "StateWait")) << factory.stateOf(0);
        factory.start(0, encryptedSettings(factory, priority));
        ASSERT_EQ(factory.waitRunEnded(0), "StateBuildOk");
        ASSERT_EQ(factory.hub().unplug(0), 0);
        const system_area::Copy produced = expectWholeAndBooting(folder, v6605);
        EXPECT_TRUE(std::string(chipSet) != "6716" || tablePassword(produced) == "first");
    }
    {
        Engine user(1, FUNCTION_USER);
        ASSERT_TRUE(user.ui().waitLayerReady());
        ASSERT_EQ(user.hub().plug(0, folder, &error), 0) << error;
        ASSERT_TRUE(user.waitState(0, "StateWait")) << user.stateOf(0);
        // The user page offers the capacity the device's table gives.
        Sptr<ConfigInfo> settings = encryptedSettings(user, priority);
        settings->setRealCapacity(user.slot(0)->getConfigInfo()->getRealCapacity());
        user.start(0, settings);
        EXPECT_EQ(user.waitRunEnded(0), "StateBuildOk") << ::testing::PrintToString(user.ui().reports(0));
        ASSERT_EQ(user.hub().unplug(0), 0);
        expectWholeAndBooting(folder, v6605);
    }
    if (std::string(chipSet) != "6716") {
        return;
    }
    Engine login(1, FUNCTION_LOGIN);
    ASSERT_TRUE(login.ui().waitLayerReady());
    const auto change = [&](const std::string& from, const std::string& to) {
        std::string plugged;
        EXPECT_EQ(login.hub().plug(0, folder, &plugged), 0) << plugged;
        EXPECT_TRUE(login.waitState(0, "StateWait")) << login.stateOf(0);
        Sptr<ConfigInfo> settings(new ConfigInfo(login.ui().getConfigInfo()));
        settings->setPassword(from);
        settings->setNewPassword(to);
        settings->setLoginOp(CHANGE_PASSWORD);
        login.start(0, settings);
        return login.waitRunEnded(0);
    };
    EXPECT_EQ(change("first", "second"), "StateBuildOk");
    release(login, 0);
    const system_area::Copy changed = expectWholeAndBooting(folder);
    EXPECT_EQ(tablePassword(changed), "second");

    test_support::writeDeviceIni(folder, test_support::readDeviceIni(folder),
                                 {{"Faults.ProgramFailPages", std::to_string(changed.tablePage)}});
    EXPECT_EQ(change("second", "third"), "StateError");
    EXPECT_TRUE(login.ui().waitLastReport(0, {UI_SIG_STATUS, 0, 0x8009}))
        << ::testing::PrintToString(login.ui().reports(0));
}

// The login part needs the 6716's password field; the 6605 (its code found
// through the external-code index) and the 6726 go through the user run. Scan priority 1
// keeps the pages of one plane, 0 groups the planes into block mode. On
// triple-level-cell flash of 192 and of 94 real pages a block every page
// written is copied to its partner page unless a system page the table names
// lies there: a copy over code or build information is a second program.
INSTANTIATE_TEST_SUITE_P(ChipSets, EngineInPlace,
                         ::testing::Values(InPlace{"6716", 1}, InPlace{"6605", 1}, InPlace{"6716", 0},
                                           InPlace{"6605", 0}, InPlace{"6716", 1, "Tlc192", TLC_192_FLASH},
                                           InPlace{"6716", 1, "Tlc94", TLC_94_FLASH}, InPlace{"6726", 1}),
                         [](const ::testing::TestParamInfo<InPlace>& test) {
                             return std::string("V") + test.param.chipSet + test.param.flashName +
                                    (test.param.priority == 0 ? "BlockMode" : "PageMode");
                         });

// A disk the device tool made with a table on its flash is used as a
// produced one: a user run writes the station's code where its table lists
// code pages and builds it.
TEST(EngineToolDisk, UserRunBuildsADiskTheDeviceToolMade)
{
    const std::string folder = makeDevice("ToolDisk", "6716", Part{}.flash);
    LowFormatStation station("6716", 1);
    std::string error;
    ASSERT_TRUE(writeDeviceTable(folder, {}, &error)) << error;
    Engine user(1, FUNCTION_USER);
    ASSERT_TRUE(user.ui().waitLayerReady());
    ASSERT_EQ(user.hub().plug(0, folder, &error), 0) << error;
    ASSERT_TRUE(user.waitState(0, "StateWait")) << user.stateOf(0);
    Sptr<ConfigInfo> settings(new ConfigInfo(user.ui().getConfigInfo()));
    settings->setRealCapacity(user.slot(0)->getConfigInfo()->getRealCapacity());
    user.start(0, settings);
    EXPECT_EQ(user.waitRunEnded(0), "StateBuildOk") << ::testing::PrintToString(user.ui().reports(0));
    ASSERT_EQ(user.hub().unplug(0), 0);
    const system_area::SystemArea area = system_area::read(folder);
    ASSERT_EQ(area.copies.size(), 1u);
    const dpf_test::Bytes code = code_test::flashCode(false);
    const system_area::Copy& copy = area.copies[0];
    EXPECT_TRUE(copy.code.size() >= code.size() && std::equal(code.begin(), code.end(), copy.code.begin()));
}

// A user run that keeps the device's own layout, as the console station's
// does, reads an encrypted first partition back as one partition: the login
// unit and the hidden unit behind the others are that partition again, not
// a partition of the login's size and another of the hidden one's.
TEST(EngineReadBack, UserRunKeepsTheEncryptedLayoutItReadsBack)
{
    const std::string folder = makeDevice("ReadBack", "6716", Part{}.flash);
    LowFormatStation station("6716", 1);
    std::string error;
    {
        Engine factory(1, FUNCTION_FACTORY);
        ASSERT_TRUE(factory.ui().waitLayerReady());
        ASSERT_EQ(factory.hub().plug(0, folder, &error), 0) << error;
        ASSERT_TRUE(factory.waitState(0, "StateWait")) << factory.stateOf(0);
        Sptr<ConfigInfo> settings = encryptedSettings(factory, 1);
        settings->getPartInfo(0)->setCapacity(40000);
        Sptr<PartInfo> second(new PartInfo(30000));
        second->setDiskType(DISK_REMOVABLE);
        settings->addPartInfo(second);
        factory.start(0, settings);
        ASSERT_EQ(factory.waitRunEnded(0), "StateBuildOk") << ::testing::PrintToString(factory.ui().reports(0));
        ASSERT_EQ(factory.hub().unplug(0), 0);
    }
    Engine user(1, FUNCTION_USER);
    ASSERT_TRUE(user.ui().waitLayerReady());
    ASSERT_EQ(user.hub().plug(0, folder, &error), 0) << error;
    ASSERT_TRUE(user.waitState(0, "StateWait")) << user.stateOf(0);
    Sptr<ConfigInfo> own = user.slot(0)->getConfigInfo();
    ASSERT_EQ(own->getPartCount(), 2);
    EXPECT_TRUE(own->getPartInfo(0)->getIsEncrypted());
    EXPECT_EQ(own->getPartInfo(0)->getCapacity(), 40000ul);
    EXPECT_FALSE(own->getPartInfo(1)->getIsEncrypted());
    EXPECT_EQ(own->getPartInfo(1)->getCapacity(), 30000ul);
    user.start(0, Sptr<ConfigInfo>(new ConfigInfo(own)));
    EXPECT_EQ(user.waitRunEnded(0), "StateBuildOk") << ::testing::PrintToString(user.ui().reports(0));
    ASSERT_EQ(user.hub().unplug(0), 0);
    expectWholeAndBooting(folder);
}

}  // namespace
