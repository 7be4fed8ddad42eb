// Throughput of the simulated devices with timing off, resident memory of a
// plugged 16 GiB device, twenty devices doing flash I/O at once, and what a
// long erase on one port costs a plug and pull on another.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/orrin/Orrin.h"
#include "platform/taval/Hub.h"
#include "platform/taval/Taval.h"

namespace {

constexpr int kRun = 128;  // sectors per call, as the tool's longest runs

int dropEvent(DEVICE_INIT_T*, DEVICE_EVENT_T* event) {
    shared_free(event);
    return 0;
}

double residentMiB() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double processCpuSeconds() {
    struct rusage u;
    ::getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// A running library with `ports` devices of the given geometry.
class Bench {
public:
    Bench(int ports, int chips, int blocks, int pages, int sectors, const char* timing = "off") {
        std::string pattern = (std::filesystem::temp_directory_path() / "taval-bench-XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
        m_init.deviceCount = ports;
        m_init.callback = dropEvent;
        if (initDevices(&m_mgr, &m_init) != 0) {
            std::abort();
        }
        for (int i = 0; i < ports; ++i) {
            const std::string folder = this->folder(i);
            std::filesystem::create_directories(folder);
            std::ofstream(folder + "/device.ini") << "[Device]\nVariant=6716\nChips=" << chips
                                                  << "\nBlocksPerChip=" << blocks << "\nPagesPerBlock=" << pages
                                                  << "\nSectorsPerPage=" << sectors << "\nTiming=" << timing
                                                  << "\n";
            std::string error;
            if (hub().plug(i, folder, &error) != 0) {
                std::abort();
            }
        }
    }
    ~Bench() {
        destoryDevices(&m_mgr);
        std::filesystem::remove_all(m_dir);
    }
    Tessor::taval::Hub& hub() { return *Tessor::taval::Hub::of(&m_mgr); }
    _USB_DEVICE_T* record(int port) { return hub().port(port)->record(); }
    std::string folder(int port) const { return m_dir + "/d" + std::to_string(port); }

private:
    std::string m_dir;
    DEVICE_MGR_T m_mgr;
    DEVICE_INIT_T m_init;
};

// 256 MiB of flash: 1 chip x 2048 blocks x 64 pages x 4 sectors.
constexpr int kBlocks = 2048;
constexpr int kSectors = kBlocks * 64 * 4;

void programAll(_USB_DEVICE_T* r, const std::vector<unsigned char>& data) {
    const int run = static_cast<int>(data.size() / 512);
    for (int s = 0; s + run <= kSectors; s += run) {
        r->operations->writeFlashSectors(r, 0, s, run, data.data());
    }
}

void eraseAll(_USB_DEVICE_T* r) {
    for (int b = 0; b < kBlocks; b += 32) {
        r->operations->eraseBlocks(r, 0, b * 256, 32);
    }
}

// Programs the erased flash `run` sectors a call, erasing it again whenever it is full.
void programRuns(benchmark::State& state, int run) {
    Bench bench(1, 1, kBlocks, 64, 4);
    _USB_DEVICE_T* r = bench.record(0);
    const std::vector<unsigned char> data(run * 512, 0x5A);
    // As in production, the flash was erased before it is written.
    programAll(r, data);
    eraseAll(r);
    int at = 0;
    for (auto _ : state) {
        if (at + run > kSectors) {
            state.PauseTiming();
            eraseAll(r);
            at = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(r->operations->writeFlashSectors(r, 0, at, run, data.data()));
        at += run;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * run * 512);
}

void BM_FlashProgram(benchmark::State& state) { programRuns(state, kRun); }
BENCHMARK(BM_FlashProgram);

// One page (4 sectors) a call, as the tables and bitmaps are written.
void BM_FlashProgramPage(benchmark::State& state) { programRuns(state, 4); }
BENCHMARK(BM_FlashProgramPage);

void BM_FlashRead(benchmark::State& state) {
    Bench bench(1, 1, kBlocks, 64, 4);
    _USB_DEVICE_T* r = bench.record(0);
    programAll(r, std::vector<unsigned char>(kRun * 512, 0x5A));
    int at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(r->operations->readFlashSectors(r, 0, at, kRun));
        at = (at + kRun) % kSectors;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kRun * 512);
}
BENCHMARK(BM_FlashRead);

void BM_LogicalWrite(benchmark::State& state) {
    Bench bench(1, 1, kBlocks, 64, 4);
    _USB_DEVICE_T* r = bench.record(0);
    const std::vector<unsigned char> data(kRun * 512, 0xA5);
    unsigned at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(r->operations->writeLogicalSectors(r, at, kRun, data.data()));
        at = (at + kRun) % kSectors;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kRun * 512);
}
BENCHMARK(BM_LogicalWrite);

void BM_LogicalRead(benchmark::State& state) {
    Bench bench(1, 1, kBlocks, 64, 4);
    _USB_DEVICE_T* r = bench.record(0);
    const std::vector<unsigned char> data(kRun * 512, 0xA5);
    for (unsigned s = 0; s < unsigned(kSectors); s += kRun) {
        r->operations->writeLogicalSectors(r, s, kRun, data.data());
    }
    unsigned at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(r->operations->readLogicalSectors(r, at, kRun));
        at = (at + kRun) % kSectors;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kRun * 512);
}
BENCHMARK(BM_LogicalRead);

// Resident memory a plugged 16 GiB device adds, after writes and reads
// spread over its whole flash and logical disk; four devices, per device.
void BM_PluggedDeviceMemory(benchmark::State& state) {
    constexpr int kDevices = 4;
    for (auto _ : state) {
        const double before = residentMiB();
        // 16 GiB: 2 chips x 4096 blocks x 256 pages x 16 sectors.
        Bench bench(kDevices, 2, 4096, 256, 16);
        const std::vector<unsigned char> data(kRun * 512, 0x11);
        for (int d = 0; d < kDevices; ++d) {
            _USB_DEVICE_T* r = bench.record(d);
            for (int i = 0; i < 2000; ++i) {
                const int sector = int((int64_t(i) * 16769023) % (int64_t(4096) * 256 * 16 - kRun));
                r->operations->writeFlashSectors(r, i % 2, sector, kRun, data.data());
                r->operations->readFlashSectors(r, i % 2, sector, kRun);
                r->operations->writeLogicalSectors(r, unsigned(sector) * 2, kRun, data.data());
                r->operations->readLogicalSectors(r, unsigned(sector) * 2, kRun);
            }
        }
        state.counters["resident_MiB_per_device"] = (residentMiB() - before) / kDevices;
    }
}
BENCHMARK(BM_PluggedDeviceMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Devices doing flash I/O at once, one thread each: 64 MiB programmed and
// read back per device and iteration.
void BM_ParallelDevices(benchmark::State& state) {
    const int devices = int(state.range(0));
    constexpr int kDeviceBlocks = 512;
    constexpr int kDeviceSectors = kDeviceBlocks * 256;
    Bench bench(devices, 1, kDeviceBlocks, 64, 4);
    const std::vector<unsigned char> data(kRun * 512, 0x77);
    auto work = [&](int d) {
        _USB_DEVICE_T* r = bench.record(d);
        for (int b = 0; b < kDeviceBlocks; b += 32) {
            r->operations->eraseBlocks(r, 0, b * 256, 32);
        }
        for (int s = 0; s < kDeviceSectors; s += kRun) {
            r->operations->writeFlashSectors(r, 0, s, kRun, data.data());
            r->operations->readFlashSectors(r, 0, s, kRun);
        }
    };
    auto runAll = [&] {
        std::vector<std::thread> threads;
        for (int d = 0; d < devices; ++d) {
            threads.emplace_back(work, d);
        }
        for (std::thread& t : threads) {
            t.join();
        }
    };
    runAll();  // the flash files exist in full before timing, as after a first run
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        runAll();
    }
    const int64_t bytes = int64_t(state.iterations()) * devices * kDeviceSectors * 512 * 2;
    state.SetBytesProcessed(bytes);
    // Flat when nothing is shared between devices, whatever else the machine runs.
    state.counters["cpu_s_per_GiB"] = (processCpuSeconds() - cpuBefore) / (double(bytes) / (1 << 30));
}
BENCHMARK(BM_ParallelDevices)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(20)->UseRealTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);

// Plug and pull on port 1, idle and while port 0 erases 200 blocks (400 ms
// under the realistic timing model): the medians and their difference.
void BM_PlugDuringErase(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Bench bench(2, 1, 256, 64, 4, "realistic");
    (void)bench.hub().unplug(1);  // plugged by the bench
    const std::string other = bench.folder(1);
    auto median = [](std::vector<double> ms) {
        std::sort(ms.begin(), ms.end());
        return ms[ms.size() / 2];
    };
    auto round = [&] {
        std::string error;
        const Clock::time_point start = Clock::now();
        if (bench.hub().plug(1, other, &error) != 0 || bench.hub().unplug(1) != 0) {
            std::abort();
        }
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> idle;
    std::vector<double> busy;
    for (auto _ : state) {
        for (int i = 0; i < 15; ++i) {
            idle.push_back(round());
        }
        std::atomic<bool> running{true};
        std::thread eraser([&] {
            _USB_DEVICE_T* r = bench.record(0);
            r->operations->eraseBlocks(r, 0, 0, 200);
            running = false;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (int i = 0; i < 15 && running; ++i) {
            busy.push_back(round());
        }
        eraser.join();
    }
    state.counters["idle_ms"] = median(idle);
    state.counters["during_erase_ms"] = median(busy);
    state.counters["delay_ms"] = median(busy) - median(idle);
}
BENCHMARK(BM_PlugDuringErase)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
