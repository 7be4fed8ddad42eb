// The high-level format of a 16 GiB FAT32 unit on a simulated device (timing
// model off) against mkfs.fat -F 32 on a sparse image file of the same size,
// timed in the same run; "ratio" is the tool's time over mkfs.fat's.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/orrin/Orrin.h"
#include "platform/taval/Hub.h"
#include "platform/taval/Taval.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/FileSystemFactory.h"
#include "schema/device/PartInfo.h"
#include "schema/device/UsbDevice.h"
#include "usb/ops/UsbProduction.h"

namespace {

constexpr uint32_t kSectors = 33554432;  // 16 GiB

int dropEvent(DEVICE_INIT_T*, DEVICE_EVENT_T* event) {
    shared_free(event);
    return 0;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_FormatFat32Of16GiB(benchmark::State& state) {
    using namespace Tessor::schema;
    std::string pattern = (std::filesystem::temp_directory_path() / "hformat-bench-XXXXXX").string();
    const std::string dir = ::mkdtemp(pattern.data());
    std::filesystem::create_directories(dir + "/d");
    std::ofstream(dir + "/d/device.ini") << "[Device]\nVariant=6716\nDrive=BENCH\nChips=1\nBlocksPerChip=64\n"
                                            "PagesPerBlock=16\nSectorsPerPage=4\nLogicalSectors="
                                         << kSectors << "\n";
    DEVICE_MGR_T mgr{};
    DEVICE_INIT_T init{};
    init.deviceCount = 1;
    init.callback = dropEvent;
    std::string error;
    if (initDevices(&mgr, &init) != 0 || Tessor::taval::Hub::of(&mgr)->plug(0, dir + "/d", &error) != 0) {
        std::abort();
    }
    UsbConfiguration::instance("");
    UsbConfiguration::instance()->setChipSet("6716");
    Tessor::usb::installUsbProduction();
    UsbDevice device(nullptr, 0, "UDISK-0");
    device.setDev(Tessor::taval::Hub::of(&mgr)->port(0)->record());
    const std::string image = dir + "/mkfs.img";
    double mkfs = 0;
    double tool = 0;
    for (auto _ : state) {
        Sptr<PartInfo> part(new PartInfo(static_cast<int>(kSectors)));
        FileSystemFactory factory(&device);
        auto start = std::chrono::steady_clock::now();
        const int r = factory.formatOnePartition(part);
        const double t = seconds(start);
        if (r != 0) {
            state.SkipWithError("format failed");
            break;
        }
        std::filesystem::remove(image);
        std::ofstream{image};
        std::filesystem::resize_file(image, uint64_t(kSectors) * 512);
        start = std::chrono::steady_clock::now();
        const int status = std::system(("mkfs.fat -F 32 " + image + " >/dev/null 2>&1").c_str());
        const double m = seconds(start);
        if (status != 0) {
            state.SkipWithError("mkfs.fat failed");
            break;
        }
        tool += t;
        mkfs += m;
        state.SetIterationTime(t);
    }
    state.counters["tool_s"] = benchmark::Counter(tool, benchmark::Counter::kAvgIterations);
    state.counters["mkfs_s"] = benchmark::Counter(mkfs, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = mkfs > 0 ? tool / mkfs : 0;
    destoryDevices(&mgr);
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_FormatFat32Of16GiB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
