// A full pattern-write and result-read pass of the scan firmware, as the
// tool's full scan sends it, over large simulated devices (timing off).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/taval/ConfigTableSector.h"
#include "platform/taval/VirtualDevice.h"

namespace {

using Tessor::taval::VirtualDevice;

struct Geometry {
    int chips, blocks, pages, sectors, maxPlanes, maxChips;
    const char* faults;  // lines of the "Faults" section
};

double maxRssMiB() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

class ScanDevice {
public:
    explicit ScanDevice(const Geometry& g) : m_g(g) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavalscan-XXXXXX").string();
        m_folder = ::mkdtemp(pattern.data());
        std::ofstream(m_folder + "/device.ini") << "[Device]\nVariant=6716\nChips=" << g.chips
                                                << "\nBlocksPerChip=" << g.blocks << "\nPagesPerBlock=" << g.pages
                                                << "\nSectorsPerPage=" << g.sectors << "\n[Faults]\n"
                                                << g.faults;
        std::string error;
        m_device = VirtualDevice::open(m_folder, &error);
        std::vector<uint8_t> table(512, 0);
        const uint8_t sig[8] = {0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5, 0x5A, 0xA5};
        std::memcpy(table.data(), sig, 8);
        table[0x0C + 15] = uint8_t(g.maxPlanes | g.maxChips << 5);
        Tessor::taval::sealTable(table.data());
        if (!m_device || !m_device->writeTableToRam(table.data())) {
            std::abort();
        }
    }
    ~ScanDevice() {
        m_device.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    // The full scan's commands: one per page of every stride block.
    int64_t pass(int op) {
        const int64_t w = int64_t(m_g.maxPlanes + 1) * (m_g.maxChips + 1);
        const int64_t b = int64_t(m_g.pages) * m_g.sectors;
        const int64_t totalBlocks = int64_t(m_g.chips) * m_g.blocks;
        const int64_t repeat = std::min<int64_t>(totalBlocks / w, 256);
        const int64_t group = int64_t(m_g.maxChips + 1) * m_g.blocks * b;
        const int64_t jump = b * w;
        uint8_t cdb[16] = {0xD4};
        uint8_t result[1024];
        int64_t commands = 0;
        for (int64_t blk = 0; blk < totalBlocks; blk += repeat * w) {
            for (int64_t p = 0; p < m_g.pages; ++p) {
                const int64_t s = blk * b + p * m_g.sectors * w;
                const uint32_t sector = uint32_t(s % group);
                for (int i = 0; i < 4; ++i) {
                    cdb[1 + i] = uint8_t(sector >> (24 - 8 * i));
                }
                cdb[6] = uint8_t(s / group);
                cdb[8] = 0x55;
                cdb[9] = 0xAA;
                cdb[11] = uint8_t(op);
                cdb[12] = uint8_t(jump >> 8);
                cdb[13] = uint8_t(jump);
                cdb[14] = uint8_t(repeat >> 8);
                cdb[15] = uint8_t(repeat);
                if (m_device->vendorCommand(cdb, result, sizeof result) != 0) {
                    std::abort();
                }
                ++commands;
            }
        }
        return commands;
    }

private:
    Geometry m_g;
    std::string m_folder;
    std::shared_ptr<VirtualDevice> m_device;
};

void fullPass(benchmark::State& state, Geometry g) {
    const double rssBefore = maxRssMiB();
    ScanDevice device(g);
    int64_t commands = 0;
    for (auto _ : state) {
        commands = device.pass(1) + device.pass(2);
    }
    state.counters["commands"] = double(commands);
    state.counters["GiB"] = double(int64_t(g.chips) * g.blocks * g.pages * g.sectors) / (2048.0 * 1024.0);
    state.counters["maxRssMiB"] = maxRssMiB();
    state.counters["rssGrowthMiB"] = maxRssMiB() - rssBefore;
}

// 4 GiB: 2 chips x 4096 blocks x 128 pages x 8 sectors, one plane and two
// planes on ganged chips; 16 GiB for the memory bound.
BENCHMARK_CAPTURE(fullPass, fourGiB_onePlane, Geometry{2, 4096, 128, 8, 0, 0, ""})
    ->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(fullPass, fourGiB_twoPlanesGangedChips, Geometry{2, 4096, 128, 8, 1, 1, ""})
    ->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(fullPass, fourGiB_badAndWeak,
                  Geometry{2, 4096, 128, 8, 0, 0, "BadBlockFraction=0.01\nWeakSectorFraction=0.001\nUpperHalfWeak=0-99\n"})
    ->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(fullPass, sixteenGiB_onePlane, Geometry{4, 4096, 256, 8, 0, 0, ""})
    ->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
