// The full scan of a large simulated device through the tool's device object:
// wall time with the timing model off (the host's and the simulator's own
// work), and with the realistic timing model on, against the device time the
// model charges for the same commands.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/orrin/Orrin.h"
#include "platform/taval/Hub.h"
#include "platform/taval/TimingModel.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/ScanConfig.h"
#include "schema/device/UsbDevice.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/ops/UsbProduction.h"
#include "usb/profile/FlashInfo.h"
#include "usb/scan/SampleFactory.h"
#include "usb/scan/ScanBitmapFactory.h"
#include "usb/scan/ScanMode.h"
#include "usb/scan/ScanObjectScan.h"

namespace {

using namespace Tessor;

std::atomic<_USB_DEVICE_T*> g_record{nullptr};

int onEvent(DEVICE_INIT_T* /*init*/, DEVICE_EVENT_T* event)
{
    if (event->kind == HW_EVT_PLUG_IN) {
        g_record = event->device;
    }
    shared_free(event);
    return 0;
}

// One chip of `blocks` blocks, 64 pages of 4 sectors (1 GiB per 8192 blocks).
class Station {
public:
    Station(int blocks, bool timing) : m_blocks(blocks)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "scanbench-XXXXXX").string();
        m_folder = ::mkdtemp(pattern.data());
        std::ofstream(m_folder + "/device.ini") << "[Device]\nVariant=6716\nDrive=BENCH\nChips=1\nBlocksPerChip="
                                                << blocks << "\nPagesPerBlock=64\nSectorsPerPage=4\nTiming="
                                                << (timing ? "realistic" : "off") << "\n";
        std::ofstream(m_folder + "/code.bin", std::ios::binary) << std::string(4096, '\x5A');
        schema::UsbConfiguration::instance("");
        schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
        config->setChipSet("6716");
        config->addScanCodeImage("6716", m_folder + "/code.bin");
        // The firmware images load from the station's working folder.
        std::filesystem::create_directories(m_folder + "/releases/code");
        std::ofstream(m_folder + "/releases/code/VOR_MP3_Code.img", std::ios::binary) << std::string(4096, '\x5A');
        m_before = std::filesystem::current_path();
        std::filesystem::current_path(m_folder);
        if (usb::CodeFactory::init() != 0) {
            std::abort();
        }
        if (usb::SampleFactory::instance() == nullptr && usb::SampleFactory::init(m_folder + "/sample.bin", 1) != 0) {
            std::abort();
        }
        m_init.deviceCount = 1;
        m_init.callback = onEvent;
        g_record = nullptr;
        if (initDevices(&m_mgr, &m_init) != 0) {
            std::abort();
        }
        taval::Hub* hub = taval::Hub::of(&m_mgr);
        std::string error;
        if (hub->plug(0, m_folder, &error) != 0) {
            std::abort();
        }
        hub->waitEventsDelivered();
        Tessor::usb::installUsbProduction();
        m_device = new schema::UsbDevice(nullptr, 0, "BENCH-0");
        m_device->setDev(g_record.load());
        Sptr<usb::FlashInfo> flash(new usb::FlashInfo());
        flash->setChipsPerDisk(1);
        flash->getChipInfo()->BlockPerChip = blocks;
        flash->getChipInfo()->PagePerBlock = 64;
        flash->getChipInfo()->SectorPerPage = 4;
        m_device->setFlashInfo(flash);
        if (m_device->readVersionInfo() == nullptr) {
            std::abort();
        }
        Sptr<schema::ConfigInfo> settings(new schema::ConfigInfo());
        Sptr<schema::ScanConfig> scan(new schema::ScanConfig(m_device, "ScanConfig"));
        scan->setScanLevel(1);
        scan->setScanPriority(2);
        settings->setScanConfig(scan);
        if (m_device->setConfigInfo(settings) != 0) {
            std::abort();
        }
        m_device->setCfgTable(Sptr<usb::CfgTable>(new usb::CfgTable(m_device, "ConfigTable", usb::CFG_TABLE_DEVICE)));
        Sptr<usb::ScanBitmapFactory> patterns;
        if (usb::ScanBitmapFactory::create(m_device, patterns) != 0) {
            std::abort();
        }
        m_device->setScanBitmapFactory(patterns);
        Sptr<usb::ScanMode> mode(new usb::ScanMode(SCAN_BLOCK_ALL, "OptimizedScanBlockMode"));
        mode->setScanBitmap(patterns->getScanBitmap(SCAN_PAGE_ALL));
        m_device->setScanMode(mode);
    }
    ~Station()
    {
        delete m_device;
        destoryDevices(&m_mgr);
        delete usb::CodeFactory::instance();
        std::filesystem::current_path(m_before);
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    // Seconds of wall time of one scan; `modelled` gets the device time the
    // timing model charges for its erase and pattern commands.
    double scanOnce(double* modelled)
    {
        Sptr<usb::ScanObjectScan> engine(new usb::ScanObjectScan(m_device, "ScanObject4ScanCode"));
        if (engine->updateCfgAndCode(usb::CMD_SCAN_CODE) != 0) {
            std::abort();
        }
        const auto start = std::chrono::steady_clock::now();
        if (engine->scan() != 0) {
            std::abort();
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const int64_t commands = static_cast<int64_t>(engine->getScanSectors().size());
        const int64_t units = engine->getScanMode()->getRepeatTime();
        const int64_t us = taval::TimingModel::cost(0, 0, m_blocks, 0) +
                           commands * taval::TimingModel::cost(0, units, 0, 0) +
                           commands * taval::TimingModel::cost(units, 0, 0, schema::UsbDevice::VENDOR_READ_LENGTH);
        *modelled = static_cast<double>(us) / 1e6;
        return wall;
    }

private:
    int m_blocks;
    std::string m_folder;
    std::filesystem::path m_before;
    DEVICE_MGR_T m_mgr{};
    DEVICE_INIT_T m_init{};
    schema::UsbDevice* m_device = nullptr;
};

void BM_FullScanTimingOff(benchmark::State& state)
{
    schema::setLogLevel(3);
    Station station(static_cast<int>(state.range(0)) * 8192, false);
    double modelled = 0;
    for (auto _ : state) {
        state.SetIterationTime(station.scanOnce(&modelled));
    }
    state.counters["modelled_device_s"] = modelled;
}

// The timing model sleeps the charged time scaled by TIME_SCALE (default
// 0.05): wall time against the scaled device time shows what the host adds.
void BM_FullScanRealisticTiming(benchmark::State& state)
{
    schema::setLogLevel(3);
    const char* scale = std::getenv("TIME_SCALE");
    sharedSetTimeScale(scale != nullptr ? std::atof(scale) : 0.05);
    Station station(static_cast<int>(state.range(0)) * 8192, true);
    double modelled = 0;
    double wall = 0;
    for (auto _ : state) {
        wall = station.scanOnce(&modelled);
        state.SetIterationTime(wall);
    }
    const double scaled = modelled * sharedGetTimeScale();
    state.counters["scaled_device_s"] = scaled;
    state.counters["host_share_pct"] = 100.0 * (wall - scaled) / scaled;
    sharedSetTimeScale(1.0);
}

}  // namespace

BENCHMARK(BM_FullScanTimingOff)->Arg(4)->Arg(16)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FullScanRealisticTiming)->Arg(4)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
