#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "TavalTestSupport.h"

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
        ASSERT_EQ(engine.hub().injectError(1, 9), 0);
        EXPECT_EQ(engine.hub().injectError(0 + 5, 9), -1);
        const std::vector<DEVICE_EVENT_T> events = engine.delivered();
        const std::vector<std::pair<int, _USB_DEVICE_T*>> expected = {
            {HW_EVT_LAYER_READY, nullptr}, {HW_EVT_PLUG_IN, a},  {HW_EVT_PLUG_IN, b}, {HW_EVT_REMOVED, b},
            {HW_EVT_EJECT_FAILED, a},      {HW_EVT_EJECTED, a}, {HW_EVT_PLUG_IN, b}, {HW_EVT_ERROR, b}};
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
            engine.hub().injectError(1, i);
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
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
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

TEST(TavalHub, ClosingAndReplugRaceNoCallback) {
    TempFolder dir;
    Engine engine(1);
    const std::string folder = makeDevice(dir.path(), "d");
    _USB_DEVICE_T* r = engine.record(0);
    std::thread manager([&] {
        for (int i = 0; i < 200; ++i) {
            engine.init.commandEntry(&engine.init, r, HW_CMD_CLOSE_DEVICE);
        }
    });
    std::string error;
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
        ASSERT_EQ(engine.hub().unplug(0), 0);
    }
    manager.join();
    EXPECT_EQ(engine.kinds().size(), 101u);
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
        for (int i = 0; i < 100 && engine.kinds().size() < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return engine.kinds();
    };
    std::filesystem::create_directory_symlink(device, ports + "/port1");
    std::filesystem::create_directory_symlink(broken, ports + "/port0");
    EXPECT_EQ(waitFor(2), (std::vector<int>{HW_EVT_LAYER_READY, HW_EVT_PLUG_IN}));
    EXPECT_NE(engine.hub().device(1), nullptr);
    EXPECT_EQ(engine.hub().device(0), nullptr);
    std::filesystem::remove(ports + "/port1");
    EXPECT_EQ(waitFor(3), (std::vector<int>{HW_EVT_LAYER_READY, HW_EVT_PLUG_IN, HW_EVT_REMOVED}));
}
