// The scanning state on simulated devices through the engine: a G1 device
// scanned, its bitmap saved on its own flash and read back at scan level 3;
// the code each injected fault ends the state with while another port
// carries on; the progress the window sees.
#include <algorithm>
#include <fstream>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include "platform/taval/OpLog.h"
#include "schema/device/BaseAddress.h"
#include "schema/device/ScanConfig.h"
#include "schema/ops/BaseOperator.h"
#include "schema/ui/EngineHarness.h"
#include "support/StoredBitmapImage.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/BlockBitmap.h"
#include "usb/cmd/SectorBitmap.h"
#include "usb/scan/ScanBitmap.h"
#include "usb/scan/ScanMode.h"
#include "usbsim/DevicePresets.h"

namespace {

using namespace engine_test;
using Tessor::taval::OpKind;

constexpr int G1_BLOCKS = 256;
constexpr int G1_SECTORS_PER_BLOCK = 64 * 4;
// The G1 bitmap's sectors, one bit a flash sector.
constexpr int G1_BITMAP_SECTORS = G1_BLOCKS * G1_SECTORS_PER_BLOCK / 8 / 512;

Keys g1(const Keys& faults)
{
    Keys keys = devicePresets().at("G1");
    keys["Device.FlashId"] = G1_FLASH_ID;
    keys.insert(faults.begin(), faults.end());
    return keys;
}

Report portReport(int port, UiSignalType signal, int code = 0) { return {signal, port, code}; }

std::vector<Report> readyReports(int port)
{
    return {portReport(port, UI_SIG_FOUND), portReport(port, UI_SIG_READY)};
}

std::vector<Report> builtReports(int port)
{
    std::vector<Report> reports = readyReports(port);
    reports.push_back(portReport(port, UI_SIG_BUILD_OK));
    return reports;
}

// Plugs the device of `folder` into `port` and waits until it is ready.
void plugReady(Engine& engine, int port, const std::string& folder)
{
    std::string error;
    ASSERT_EQ(engine.hub().plug(port, folder, &error), 0) << error;
    ASSERT_TRUE(engine.waitState(port, "StateWait")) << "in " << engine.stateOf(port);
}

// The scanning state's reports since `from`: each within its total of
// 1000, none going back, the last at the full 1000.
void expectScanProgressBounded(const std::vector<ProgressInfo>& reports, size_t from)
{
    int last = 0;
    size_t seen = 0;
    for (size_t i = from; i < reports.size(); ++i) {
        if (reports[i].getStateName() != "StateScan") {
            continue;
        }
        ++seen;
        EXPECT_EQ(reports[i].getTotalProgress(), 1000);
        EXPECT_LE(reports[i].getCurrentProgress(), 1000) << reports[i].getOperatorName();
        EXPECT_GE(reports[i].getCurrentProgress(), last) << reports[i].getOperatorName();
        last = reports[i].getCurrentProgress();
    }
    EXPECT_GT(seen, 0u);
    EXPECT_EQ(last, 1000);
}

// Blocks whose every sector the bitmap marks bad, and whether any other bit is set.
std::set<int> wholeBadBlocks(const std::vector<uint8_t>& bits, bool* strayBits)
{
    std::set<int> blocks;
    *strayBits = false;
    for (int b = 0; b < G1_BLOCKS; ++b) {
        int bad = 0;
        for (int s = 0; s < G1_SECTORS_PER_BLOCK; ++s) {
            bad += Tessor::usb::BitRange::test(bits.data(), int64_t(b) * G1_SECTORS_PER_BLOCK + s) ? 1 : 0;
        }
        if (bad == G1_SECTORS_PER_BLOCK) {
            blocks.insert(b);
        } else if (bad != 0) {
            *strayBits = true;
        }
    }
    return blocks;
}

// The device's bitmaps as the scanning state leaves them.
struct ScanEnd {
    std::vector<uint8_t> sectors;
    std::set<int> badBlocks;
    size_t opsDone = 0;  // the device's operations up to the state's last one
    std::set<std::string> states;
};

// Takes the bitmaps on the device's own thread at each operation of the
// save that ends the scanning state of port 0's device; `seen` returns the
// last taken.
class ScanEndWatch {
public:
    explicit ScanEndWatch(Engine& engine) : m_engine(engine)
    {
        engine.hub().setOperationHook([this](int port) {
            observe(port);
            return false;
        });
    }
    ~ScanEndWatch() { m_engine.hub().setOperationHook(nullptr); }

    ScanEnd seen()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_end;
    }

private:
    void observe(int port)
    {
        const std::string state = m_engine.stateOf(port);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_end.states.insert(state);
        if (port != 0 || state != "StateScan" ||
            std::string(m_engine.slot(0)->getOperator()->getName()) != "ScanSaveBitmap") {
            return;
        }
        Sptr<Tessor::usb::SectorBitmap> bitmap = m_engine.slot(0)->getSectorBitmap();
        const uint8_t* bits = bitmap->getBitmap();
        m_end.sectors.assign(bits, bits + G1_BLOCKS * G1_SECTORS_PER_BLOCK / 8);
        m_end.badBlocks.clear();
        for (int b = 0; b < G1_BLOCKS; ++b) {
            if (bitmap->getBlockBitmap()->isBad(b)) {
                m_end.badBlocks.insert(b);
            }
        }
        m_end.opsDone = m_engine.hub().device(0)->opLog().size();
    }

    Engine& m_engine;
    std::mutex m_mutex;
    ScanEnd m_end;
};

TEST(ScanRoadTest, G1IsScannedSavedThenReadBackAtLevelThree)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");
    const std::string folder =
        environment.makeDevice("g1road", g1({{"Faults.BadBlocks", "5,17,130"}, {"Faults.MinCycle", "17"}}));
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::optional<ScanEndWatch> watch(std::in_place, engine);
    plugReady(engine, 0, folder);
    ASSERT_TRUE(engine.startFitted(0, 1, 2));
    ASSERT_TRUE(engine.waitState(0, "StateBuildOk")) << "in " << engine.stateOf(0);
    EXPECT_TRUE(engine.ui().waitReports(0, builtReports(0))) << ::testing::PrintToString(engine.ui().reports(0));
    const ScanEnd first = watch->seen();
    EXPECT_TRUE(first.states.count("StateLowFormat")) << ::testing::PrintToString(first.states);

    UsbDevice* device = engine.slot(0);
    // 0x0000 is too fast for this flash; 0x1111 is the first code that holds.
    EXPECT_EQ(device->getScanConfig()->getScanSpeed(), 0x1111);
    EXPECT_STREQ(device->getScanMode()->getName(), "OptimizedScanBlockMode");
    EXPECT_EQ(device->getScanMode()->getScanBitmap()->getMode(), SCAN_PAGE_ALL);

    // The image as a reader of its layout finds it on the flash, after the
    // whole road.
    Sptr<Tessor::usb::SectorBitmap> saved = device->getSectorBitmap();
    ASSERT_TRUE(saved->getAddress());
    const int64_t headerSector = Sptr<BaseAddress>(saved->getAddress()->getData(0))->getPhyAddress();
    std::shared_ptr<Tessor::taval::VirtualDevice> flash = engine.hub().device(0);
    const auto readSector = [&flash](int64_t sector) {
        std::vector<uint8_t> out(512 + 64);
        int length = 0;
        EXPECT_TRUE(flash->readFlash(0, sector, 1, out.data(), int(out.size()), &length));
        out.resize(512);
        return out;
    };
    const test_support::StoredBitmapImage image = test_support::readStoredBitmapImage(readSector, headerSector);
    EXPECT_EQ(image.magic[0], 0x7AA77AA7u);
    EXPECT_EQ(image.magic[1], 0x7AA77AA7u);
    EXPECT_EQ(image.l2Count, 1u);
    EXPECT_EQ(image.sectorCount, 1u + 1u + G1_BITMAP_SECTORS);
    EXPECT_TRUE(image.unusedEntriesFree);
    bool stray = false;
    // The stored bitmap is the scan's, before its own blocks were taken.
    EXPECT_EQ(wholeBadBlocks(image.bitmap, &stray), (std::set<int>{5, 17, 130}));
    EXPECT_FALSE(stray);

    // As the scan left it, the block bitmap's block (the first good one)
    // and the image's blocks near the end are bad as well.
    std::set<int> expected = {0, 5, 17, 130};
    for (uint32_t sector : image.sectors) {
        expected.insert(int(sector / G1_SECTORS_PER_BLOCK));
    }
    EXPECT_GT(*expected.rbegin(), 200);
    EXPECT_EQ(first.badBlocks, expected);
    const int imageBlock = int(headerSector / G1_SECTORS_PER_BLOCK);
    expectScanProgressBounded(engine.ui().progress(0), 0);

    // Plugged in again and run at scan level 3: the same bitmap is read
    // back without erasing the chip or writing a page while scanning.
    ASSERT_EQ(engine.hub().unplug(0), 0);
    ASSERT_TRUE(engine.ui().waitReports(0, {portReport(0, UI_SIG_FOUND), portReport(0, UI_SIG_READY),
                                            portReport(0, UI_SIG_BUILD_OK), portReport(0, UI_SIG_PLUGGED_OFF)}));
    engine.request(0, UI_SIG_RELEASED);
    ASSERT_TRUE(engine.waitState(0, "StateUnplug"));
    watch.emplace(engine);
    plugReady(engine, 0, folder);
    const size_t progressBefore = engine.ui().progress(0).size();
    flash = engine.hub().device(0);
    const size_t opsBefore = flash->opLog().size();
    ASSERT_TRUE(engine.startFitted(0, 3, 2));
    ASSERT_TRUE(engine.waitState(0, "StateBuildOk")) << "in " << engine.stateOf(0);
    EXPECT_TRUE(engine.ui().waitReports(0, {portReport(0, UI_SIG_FOUND), portReport(0, UI_SIG_READY),
                                            portReport(0, UI_SIG_BUILD_OK), portReport(0, UI_SIG_PLUGGED_OFF),
                                            portReport(0, UI_SIG_FOUND), portReport(0, UI_SIG_READY),
                                            portReport(0, UI_SIG_BUILD_OK)}))
        << ::testing::PrintToString(engine.ui().reports(0));
    const ScanEnd again = watch->seen();
    watch.reset();
    EXPECT_EQ(again.sectors, first.sectors);
    EXPECT_EQ(again.badBlocks, first.badBlocks);
    const std::vector<Tessor::taval::OpRecord> ops = flash->opLog();
    ASSERT_GT(again.opsDone, opsBefore);
    for (size_t i = opsBefore; i < again.opsDone; ++i) {
        EXPECT_NE(ops[i].kind, OpKind::Program);
        if (ops[i].kind == OpKind::Erase) {
            EXPECT_LT(ops[i].args[1] / G1_SECTORS_PER_BLOCK + ops[i].args[2] - 1, imageBlock - 1);
        }
    }
    // A second run on the port reports against the full 1000 again.
    expectScanProgressBounded(engine.ui().progress(0), progressBefore);
}

// An image whose header counts `bitmapSectors` and whose one L2 sector, the
// header's next, lists `listed` of them (none: the L2 sector is left
// unwritten); the bitmap sectors follow it and are not written.
void writeImage(Tessor::taval::VirtualDevice& flash, int64_t headerSector, int bitmapSectors, int listed)
{
    const auto sectorOf = [](const std::vector<uint32_t>& words) {
        std::vector<uint8_t> sector(512, 0xFF);
        for (size_t w = 0; w < words.size(); ++w) {
            for (int b = 0; b < 4; ++b) {
                sector[4 * w + b] = uint8_t(words[w] >> (8 * b));
            }
        }
        return sector;
    };
    const uint32_t l2 = uint32_t(headerSector + 1);
    const std::vector<uint8_t> header = sectorOf({0x7AA77AA7u, 0x7AA77AA7u, 1, uint32_t(2 + bitmapSectors), l2});
    ASSERT_TRUE(flash.writeFlash(0, headerSector, 1, header.data()));
    if (listed > 0) {
        std::vector<uint32_t> addresses;
        for (int k = 0; k < listed; ++k) {
            addresses.push_back(l2 + 1 + uint32_t(k));
        }
        ASSERT_TRUE(flash.writeFlash(0, l2, 1, sectorOf(addresses).data()));
    }
}

struct FaultRow {
    const char* name;
    Keys faults;
    int scanLevel;
    int code;
    // An eject stops the run and then takes the device out.
    bool ejected = false;
};

// Each fault on port 0 while a sound device goes through the whole road on
// port 1; the operator's stop reaches the station as the device library
// passes it on.
TEST(ScanRoadTest, FaultsFailTheirDeviceWithTheirCodeWhileAnotherPortCarriesOn)
{
    const FaultRow rows[] = {
        {"write failure while saving", {{"Faults.FailProgram", "always"}}, 1, 0x8032},
        {"erase failure before the scan", {{"Faults.EraseFailBlocks", "255"}}, 1, 0x802A},
        {"no room for the image", {{"Faults.BadBlockFraction", "0.97"}, {"Faults.Seed", "3"}}, 1, 0x8021},
        {"no saved image", {}, 3, 0x8008},
        {"short L2 sector", {{"Image.BitmapSectors", "1"}, {"Image.Listed", "0"}}, 3, 0x8008},
        // Its header is not trusted: the bitmap is read into room for 16.
        {"image one bitmap sector longer than the bitmap",
         {{"Image.BitmapSectors", std::to_string(G1_BITMAP_SECTORS + 1)},
          {"Image.Listed", std::to_string(G1_BITMAP_SECTORS + 1)}},
         3,
         0x8008},
        {"vendor read failure", {{"Faults.VendorFailAfter", "5"}}, 1, 0x8001},
        {"stop from the window mid-scan", {{"Faults.CancelAfter", "60"}}, 1, 0x8029},
        {"eject from the window mid-scan", {{"Faults.CancelAfter", "60"}, {"Faults.CancelCode", "0x8027"}}, 1,
         0x8027, true},
    };
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");
    int run = 0;
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(row.name);
        Keys faults = row.faults;
        const bool writtenImage = faults.count("Image.BitmapSectors") != 0;
        const int bitmapSectors = writtenImage ? std::stoi(faults["Image.BitmapSectors"]) : 0;
        const int listed = writtenImage ? std::stoi(faults["Image.Listed"]) : 0;
        faults.erase("Image.BitmapSectors");
        faults.erase("Image.Listed");
        const std::string failing = environment.makeDevice("fault" + std::to_string(run), g1(faults));
        const std::string sound = environment.makeDevice("sound" + std::to_string(run++), g1({}));
        Engine engine(2, FUNCTION_FACTORY);
        ASSERT_TRUE(engine.ui().waitLayerReady());
        plugReady(engine, 0, failing);
        plugReady(engine, 1, sound);
        if (writtenImage) {
            writeImage(*engine.hub().device(0), int64_t(G1_BLOCKS - 1) * G1_SECTORS_PER_BLOCK, bitmapSectors,
                       listed);
        }
        ASSERT_TRUE(engine.startFitted(0, row.scanLevel, 2));
        ASSERT_TRUE(engine.startFitted(1, 1, 2));
        std::vector<Report> failed = readyReports(0);
        failed.push_back(portReport(0, UI_SIG_STATUS, row.code));
        if (row.ejected) {
            failed.push_back(portReport(0, UI_SIG_PLUGGED_OFF));
        }
        EXPECT_TRUE(engine.ui().waitReports(0, failed)) << ::testing::PrintToString(engine.ui().reports(0));
        EXPECT_TRUE(engine.waitState(0, row.ejected ? "StateUnplug" : "StateError")) << "in " << engine.stateOf(0);
        EXPECT_TRUE(engine.waitState(1, "StateBuildOk")) << "in " << engine.stateOf(1);
        EXPECT_TRUE(engine.ui().waitReports(1, builtReports(1)))
            << ::testing::PrintToString(engine.ui().reports(1));
    }
}

// Level 0 scans at priority 3 whatever the operator chose: no pre-scan, the
// front pages of each block only. Priority 3 on mostly good flash keeps the
// planes in block mode, so the low format folds the block bitmap: bit j then
// stands for block pair 2j, 2j + 1 of either interleave half (128 blocks).
TEST(ScanRoadTest, LevelZeroScansTheFrontPagesAtPriorityThree)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");
    const std::string folder = environment.makeDevice("level0", g1({{"Faults.BadBlocks", "5,17,130"}}));
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    plugReady(engine, 0, folder);
    ASSERT_TRUE(engine.startFitted(0, 0, 2));
    ASSERT_TRUE(engine.waitState(0, "StateBuildOk")) << "in " << engine.stateOf(0);
    UsbDevice* device = engine.slot(0);
    EXPECT_EQ(device->getScanConfig()->getScanPriority(), 3);
    EXPECT_EQ(device->getScanMode()->getScanBitmap()->getMode(), SCAN_PAGE_FRONT2);
    EXPECT_TRUE(device->getConfigInfo()->checkBlockMode());
    Sptr<Tessor::usb::BlockBitmap> blocks = device->getSectorBitmap()->getBlockBitmap();
    for (int pair : {1, 2, 8}) {
        EXPECT_TRUE(blocks->isBad(pair)) << pair;
    }
}

// At scan level 3 the save only erases the blocks below the image read
// back; an erase failure there fails the device as a failed save.
TEST(ScanRoadTest, EraseFailureWhileSavingAtLevelThreeFailsTheDevice)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");
    const std::string folder = environment.makeDevice("erase3", g1({{"Faults.BadBlocks", "7"}}));
    Engine engine(1, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    plugReady(engine, 0, folder);
    engine.request(0, UI_SIG_START, 2, 2);
    ASSERT_TRUE(engine.waitState(0, "StateBuildOk")) << "in " << engine.stateOf(0);
    ASSERT_EQ(engine.hub().unplug(0), 0);
    ASSERT_TRUE(engine.ui().waitReports(0, {portReport(0, UI_SIG_FOUND), portReport(0, UI_SIG_READY),
                                            portReport(0, UI_SIG_BUILD_OK), portReport(0, UI_SIG_PLUGGED_OFF)}));
    engine.request(0, UI_SIG_RELEASED);
    ASSERT_TRUE(engine.waitState(0, "StateUnplug"));
    test_support::writeDeviceIni(folder, test_support::readDeviceIni(folder), {{"Faults.FailErase", "always"}});
    plugReady(engine, 0, folder);
    engine.request(0, UI_SIG_START, 3, 2);
    EXPECT_TRUE(engine.ui().waitReports(
        0, {portReport(0, UI_SIG_FOUND), portReport(0, UI_SIG_READY), portReport(0, UI_SIG_BUILD_OK),
            portReport(0, UI_SIG_PLUGGED_OFF), portReport(0, UI_SIG_FOUND), portReport(0, UI_SIG_READY),
            portReport(0, UI_SIG_STATUS, 0x8032)}))
        << ::testing::PrintToString(engine.ui().reports(0));
    EXPECT_TRUE(engine.waitState(0, "StateError")) << "in " << engine.stateOf(0);
}

// Started in a random order, a few milliseconds apart, on small devices at
// the station's own scan priority.
TEST(ScanRoadTest, TwentyDevicesScannedAtOnceFinishWithTheirReportsInOrder)
{
    constexpr int PORTS = 20;
    EngineEnvironment& environment = EngineEnvironment::instance();
    UsbConfiguration::instance()->setChipSet("6716");
    Engine engine(PORTS, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::vector<int> order;
    for (int port = 0; port < PORTS; ++port) {
        plugReady(engine, port, environment.makeDevice("many" + std::to_string(port), {{"Faults.BadBlocks", "9"}}));
        order.push_back(port);
    }
    std::mt19937 random(20);
    std::shuffle(order.begin(), order.end(), random);
    for (int port : order) {
        engine.request(port, UI_SIG_START, 2);
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 4));
    }
    for (int port = 0; port < PORTS; ++port) {
        SCOPED_TRACE("port " + std::to_string(port));
        ASSERT_TRUE(engine.waitState(port, "StateBuildOk")) << "in " << engine.stateOf(port);
        EXPECT_TRUE(engine.ui().waitReports(port, builtReports(port)));
        expectScanProgressBounded(engine.ui().progress(port), 0);
        EXPECT_TRUE(engine.slot(port)->getSectorBitmap()->getBlockBitmap()->isBad(9));
    }
}

}  // namespace
