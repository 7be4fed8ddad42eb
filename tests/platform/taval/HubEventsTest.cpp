#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "TavalTestSupport.h"
#include "support/Waits.h"

using taval_test::Engine;
using taval_test::makeDevice;
using taval_test::TempFolder;

TEST(TavalHub, EventsArriveInOrderAndNoneAfterDestory) {
    TempFolder dir;
    {
        Engine engine(2);
        ASSERT_EQ(engine.result, 0);
        ASSERT_NE(engine.init.commandEntry, nullptr);
        std::string error;
        ASSERT_EQ(engine.hub().plug(0, makeDevice(dir.path(), "a", {{"Faults.FailEjectOutcome", "1"}}), &error), 0);
        ASSERT_EQ(engine.hub().plug(1, makeDevice(dir.path(), "b"), &error), 0);
        _USB_DEVICE_T* a = engine.record(0);
        _USB_DEVICE_T* b = engine.record(1);
        ASSERT_EQ(engine.hub().unplug(1), 0);
        ASSERT_NE(a->operations->ejectDisk(a), 0);
        ASSERT_NE(a->operations->ejectDisk(a), 0);
        ASSERT_EQ(engine.hub().plug(1, dir.path() + "/b", &error), 0);
        _USB_DEVICE_T* b2 = engine.record(1);
        EXPECT_NE(b2, b);  // a new plug-in, a new record
        ASSERT_EQ(engine.hub().injectError(1, 9), 0);
        EXPECT_EQ(engine.hub().injectError(0 + 5, 9), -1);
        const std::vector<DEVICE_EVENT_T> events = engine.delivered();
        const std::vector<std::pair<int, _USB_DEVICE_T*>> expected = {
            {HW_EVT_LAYER_READY, nullptr}, {HW_EVT_PLUG_IN, a},  {HW_EVT_PLUG_IN, b},  {HW_EVT_REMOVED, b},
            {HW_EVT_EJECT_FAILED, a},      {HW_EVT_EJECTED, a}, {HW_EVT_PLUG_IN, b2}, {HW_EVT_ERROR, b2}};
        ASSERT_EQ(events.size(), expected.size());
        for (size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].kind, expected[i].first) << i;
            EXPECT_EQ(events[i].device, expected[i].second) << i;
        }
        EXPECT_EQ(events.back().errorCode, 9);
        EXPECT_EQ(events.back().deviceIndex, 1);

        // Events still queued when the library stops are dropped, and no
        // callback runs once destoryDevices has returned.
        for (int i = 0; i < 50; ++i) {
            ASSERT_EQ(engine.hub().injectError(1, i), 0);
        }
        destoryDevices(&engine.mgr);
        destoryDevices(&engine.mgr);
        EXPECT_EQ(Tessor::taval::Hub::of(&engine.mgr), nullptr);
        size_t atStop = 0;
        {
            std::lock_guard<std::mutex> lock(engine.mutex);
            atStop = engine.events.size();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        std::lock_guard<std::mutex> lock(engine.mutex);
        EXPECT_EQ(engine.events.size(), atStop);
    }
}

TEST(TavalHub, StartRecordIsChecked) {
    DEVICE_MGR_T mgr;
    DEVICE_INIT_T init;
    EXPECT_LT(initDevices(&mgr, &init), 0);  // no callback
    init.callback = &Engine::onEvent;
    init.deviceCount = 0;
    EXPECT_LT(initDevices(&mgr, &init), 0);
    EXPECT_LT(initDevices(nullptr, &init), 0);
    EXPECT_EQ(mgr.library, nullptr);
    destoryDevices(&mgr);
}

TEST(TavalHub, RemovalDuringAStreamOfOperationsFailsThemCleanly) {
    TempFolder dir;
    Engine engine(1);
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, makeDevice(dir.path(), "d"), &error), 0);
    _USB_DEVICE_T* r = engine.record(0);
    std::atomic<bool> pulled{false};
    std::atomic<int> failuresAfterPull{0};
    std::atomic<int> successesAfterPull{0};
    std::atomic<int> working{0};
    std::vector<std::thread> workers;
    std::vector<unsigned char> data(8 * 512, 0x3C);
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&, w] {
            // Operations that leave nothing in the shared data buffer; each
            // worker goes on for 50 operations after the pull.
            int afterCount = 0;
            for (int i = 0; afterCount < 50; ++i) {
                const bool after = pulled.load();
                afterCount += after ? 1 : 0;
                int ok = 0;
                switch ((i + w) % 3) {
                    case 0:
                        ok = r->operations->writeFlashSectors(r, 0, (w * 400 + i) * 8 % 4096, 8, data.data());
                        break;
                    case 1:
                        ok = r->operations->eraseBlocks(r, 0, 64 * ((i + w) % 64), 1);
                        break;
                    default:
                        ok = r->operations->writeLogicalSectors(r, i, 8, data.data());
                        break;
                }
                if (after) {
                    (ok ? successesAfterPull : failuresAfterPull).fetch_add(1);
                }
                if (i == 0) {
                    ++working;
                }
            }
        });
    }
    // Pulled while every worker is in its stream.
    EXPECT_TRUE(test_support::waitUntil([&] { return working == 4; }));
    ASSERT_EQ(engine.hub().unplug(0), 0);
    pulled = true;
    for (std::thread& t : workers) {
        t.join();
    }
    EXPECT_EQ(successesAfterPull.load(), 0);
    EXPECT_EQ(failuresAfterPull.load(), 4 * 50);
    EXPECT_EQ(r->operations->readVersionInfo(r), 0);
    EXPECT_EQ(r->operations->volumeControl(r->volume, VOLUME_RUN_START), 0);
    EXPECT_EQ(engine.kinds().back(), HW_EVT_REMOVED);
}

TEST(TavalHub, RecordStaysValidUntilClosedAndCloseActsOnItsOwnDevice) {
    TempFolder dir;
    Engine engine(1);
    std::string error;
    const unsigned char code[16] = {7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};  // sealed
    ASSERT_EQ(engine.hub().plug(0, makeDevice(dir.path(), "a"), &error), 0) << error;
    _USB_DEVICE_T* a = engine.record(0);
    ASSERT_EQ(engine.hub().unplug(0), 0);
    ASSERT_EQ(engine.hub().plug(0, makeDevice(dir.path(), "b"), &error), 0) << error;
    _USB_DEVICE_T* b = engine.record(0);
    ASSERT_NE(a, b);
    ASSERT_NE(b->operations->downloadExternalCode(b, 0, code, 16), 0);
    engine.hub().waitEventsDelivered();

    // The pulled device's record still names its own port and drive and
    // fails every operation; the new device is untouched by it.
    EXPECT_EQ(a->slotIndex, 0);
    EXPECT_STREQ(a->driveText, "SIMa");
    EXPECT_EQ(a->operations->readVersionInfo(a), 0);
    EXPECT_NE(engine.init.commandEntry(&engine.init, a, HW_CMD_CLOSE_DEVICE), 0);
    EXPECT_EQ(engine.hub().device(0)->ramCode().size(), 1u);
    EXPECT_EQ(b->slotIndex, 0);
    EXPECT_NE(b->operations->readVersionInfo(b), 0);
    // Closed and pulled out: the library lets go of it, and says so.
    EXPECT_EQ(engine.init.commandEntry(&engine.init, a, HW_CMD_CLOSE_DEVICE), 0);

    EXPECT_NE(engine.init.commandEntry(&engine.init, b, HW_CMD_CLOSE_DEVICE), 0);
    EXPECT_EQ(b->slotIndex, -1);
    EXPECT_TRUE(engine.hub().device(0)->ramCode().empty());
    ASSERT_EQ(engine.hub().unplug(0), 0);
    const std::vector<DEVICE_EVENT_T> events = engine.delivered();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[3].device, b);
    EXPECT_EQ(engine.slots.back(), -1);  // the engine ignores the removal of a closed record
}

TEST(TavalHub, ClosingWhilePluggingAndPullingKeepsEveryRecordUntilClosed) {
    TempFolder dir;
    Engine engine(1);
    const std::string folder = makeDevice(dir.path(), "d");
    std::mutex mutex;
    std::vector<_USB_DEVICE_T*> toClose;
    std::atomic<bool> done{false};
    std::atomic<int> closeFailures{0};
    std::thread manager([&] {
        for (;;) {
            std::vector<_USB_DEVICE_T*> batch;
            {
                std::lock_guard<std::mutex> lock(mutex);
                batch.swap(toClose);
            }
            for (_USB_DEVICE_T* r : batch) {
                if (r->slotIndex != 0 || engine.init.commandEntry(&engine.init, r, HW_CMD_CLOSE_DEVICE) == 0) {
                    closeFailures.fetch_add(1);
                }
            }
            if (batch.empty() && done) {
                return;
            }
            std::this_thread::yield();
        }
    });
    std::string error;
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
        {
            std::lock_guard<std::mutex> lock(mutex);
            toClose.push_back(engine.record(0));
        }
        ASSERT_EQ(engine.hub().unplug(0), 0);
    }
    done = true;
    manager.join();
    EXPECT_EQ(closeFailures.load(), 0);
    EXPECT_EQ(engine.kinds().size(), 101u);
}

// A device with the realistic timing model and room for a long erase.
std::string slowDevice(const std::string& parent, const std::string& name) {
    return makeDevice(parent, name, {{"Device.Chips", "1"}, {"Device.BlocksPerChip", "2048"},
                                     {"Device.Timing", "realistic"}});
}

// Plugging and pulling take a few milliseconds, the other port's erase
// seconds: every round ends while the erase still runs, however slow the
// machine. What the erase costs a plug is measured by taval_bench.
TEST(TavalHub, PlugAndPullNeverWaitForAnotherPortsErase) {
    using Clock = std::chrono::steady_clock;
    using std::chrono::milliseconds;
    TempFolder dir;
    Engine engine(2);
    std::string error;
    ASSERT_EQ(engine.hub().plug(0, slowDevice(dir.path(), "slow"), &error), 0) << error;
    const std::string other = makeDevice(dir.path(), "other");

    // 2000 blocks take 4 s on the real device.
    _USB_DEVICE_T* r = engine.record(0);
    std::atomic<bool> running{true};
    std::atomic<int> erased{-1};
    std::atomic<pid_t> eraserId{0};
    std::thread eraser([&] {
        eraserId = test_support::threadId();
        erased = r->operations->eraseBlocks(r, 0, 0, 2000);
        running = false;
    });
    // The erase has begun once its thread waits inside it.
    EXPECT_TRUE(test_support::waitUntil([&] { return eraserId != 0; }));
    EXPECT_TRUE(test_support::waitBlocked(eraserId));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(engine.hub().plug(1, other, &error), 0) << error;
        EXPECT_EQ(engine.hub().unplug(1), 0);
    }
    EXPECT_TRUE(running.load()) << "the plugs waited for the erase";

    // Pulled out mid-erase: the erase fails at once rather than running on.
    const Clock::time_point pulled = Clock::now();
    ASSERT_EQ(engine.hub().unplug(0), 0);
    eraser.join();
    EXPECT_EQ(erased.load(), 0);
    EXPECT_LT(Clock::now() - pulled, milliseconds(1500));
}

TEST(TavalHub, TwentyDevicesWorkInParallel) {
    TempFolder dir;
    constexpr int kPorts = 20;
    Engine engine(kPorts);
    std::string error;
    for (int i = 0; i < kPorts; ++i) {
        ASSERT_EQ(engine.hub().plug(i, makeDevice(dir.path(), "d" + std::to_string(i)), &error), 0) << error;
    }
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kPorts; ++i) {
        threads.emplace_back([&, i] {
            _USB_DEVICE_T* r = engine.record(i);
            std::vector<unsigned char> data(32 * 512, static_cast<unsigned char>(i));
            for (int block = 0; block < 16; ++block) {
                if (r->operations->writeFlashSectors(r, 1, block * 64, 32, data.data()) == 0 ||
                    r->operations->readFlashSectors(r, 1, block * 64, 32) == 0 ||
                    std::memcmp(r->dataBuffer, data.data(), data.size()) != 0) {
                    mismatches.fetch_add(1);
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
}

// A device is in one station at a time: another station refuses it until
// the first lets it go.
TEST(TavalHub, ADeviceHeldByOneStationIsRefusedByAnother) {
    TempFolder dir;
    Engine first(1);
    Engine second(1);
    ASSERT_EQ(first.result, 0);
    ASSERT_EQ(second.result, 0);
    const std::string device = makeDevice(dir.path(), "shared");
    std::string error;
    ASSERT_EQ(first.hub().plug(0, device, &error), 0) << error;
    EXPECT_NE(second.hub().plug(0, device, &error), 0);
    EXPECT_NE(error.find("plugged into another station"), std::string::npos) << error;
    ASSERT_EQ(first.hub().unplug(0), 0);
    EXPECT_EQ(second.hub().plug(0, device, &error), 0) << error;
}

TEST(TavalHub, PortsFolderPlugsAndPullsDevices) {
    TempFolder dir;
    const std::string ports = dir.path() + "/ports";
    std::filesystem::create_directories(ports);
    const std::string device = makeDevice(dir.path(), "d");
    const std::string broken = makeDevice(dir.path(), "x", {{"Device.Variant", "9999"}});
    ::setenv("TAVAL_PORTS", ports.c_str(), 1);
    Engine engine(2);
    ::unsetenv("TAVAL_PORTS");
    auto waitFor = [&](size_t count) {
        EXPECT_TRUE(test_support::waitUntil([&] { return engine.kinds().size() >= count; }));
        return engine.kinds();
    };
    std::ifstream count(ports + "/port-count");
    int portCount = 0;
    EXPECT_TRUE(count >> portCount);
    EXPECT_EQ(portCount, 2);  // for usbsim to refuse ports the tool does not have
    // The poll that plugs port 1 has seen port 0 already.
    std::filesystem::create_directory_symlink(broken, ports + "/port0");
    std::filesystem::create_directory_symlink(device, ports + "/port1");
    EXPECT_EQ(waitFor(2), (std::vector<int>{HW_EVT_LAYER_READY, HW_EVT_PLUG_IN}));
    EXPECT_NE(engine.hub().device(1), nullptr);
    EXPECT_EQ(engine.hub().device(0), nullptr);
    std::filesystem::remove(ports + "/port1");
    EXPECT_EQ(waitFor(3), (std::vector<int>{HW_EVT_LAYER_READY, HW_EVT_PLUG_IN, HW_EVT_REMOVED}));

    // The refused device mended and plugged in again, pulled and put back
    // between two polls, is judged afresh.
    makeDevice(dir.path(), "x");
    std::filesystem::create_directory_symlink(broken, ports + "/again");
    std::filesystem::rename(ports + "/again", ports + "/port0");
    EXPECT_EQ(waitFor(4), (std::vector<int>{HW_EVT_LAYER_READY, HW_EVT_PLUG_IN, HW_EVT_REMOVED, HW_EVT_PLUG_IN}));
    EXPECT_NE(engine.hub().device(0), nullptr);
}

// One station watches a ports folder: a second one is refused at its start
// and leaves the first one's port count alone, and a count a killed station
// left behind is taken over.
TEST(TavalHub, APortsFolderIsWatchedByOneStationAtATime) {
    TempFolder dir;
    const std::string ports = dir.path() + "/ports";
    const std::string count = ports + "/port-count";
    std::filesystem::create_directories(ports);
    std::ofstream(count) << "7\n";
    ::setenv("TAVAL_PORTS", ports.c_str(), 1);
    auto first = std::make_unique<Engine>(2);
    EXPECT_LT(Engine(3).result, 0);
    ::unsetenv("TAVAL_PORTS");
    EXPECT_EQ(first->result, 0);
    EXPECT_EQ(test_support::readFile(count), "2\n");
    first.reset();
    EXPECT_FALSE(std::filesystem::exists(count));
}
