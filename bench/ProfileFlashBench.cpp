// Flash identification of eight devices at once against a flash-chip table
// of 600 parts, each with every key the identification reads; the devices'
// part is the last section. One iteration identifies one device; the time
// shown is the wall time over all devices' identifications, so eight times
// it is how long each device waits. "Probe" keeps the 25 ms waits between
// chip reads (three for a one-chip flash); "Table" leaves them out to show
// what reading the table costs. "AfterTableChange" identifies one device
// right after each change of the table, which is read and parsed again.
// "EightDevicesColdTable" changes the table, then starts eight devices at
// once; "per_device_ms" is how long each waited for its part on average,
// "slowest_ms" the longest. Its argument 0 dates the table an hour back, 1
// leaves it changed this instant, as a table just saved is.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "platform/orrin/Orrin.h"
#include "schema/base/UsbConfiguration.h"
#include "usb/profile/FlashProfileFields.h"
#include "usb/profile/ProfileFlash.h"

namespace {

const int PARTS = 600;
const int DEVICES = 8;

// Chip 0 answers with the id bytes of the table's last part; no other chip answers.
class LastPartChip : public Tessor::usb::FlashIdReader {
public:
    unsigned char* readFlashId(int chip, FLASH_TYPES /*kind*/) override
    {
        static const unsigned char lastPart[8] = {0xEC, 0, 0x02, 0, 0x57, 0, 0x95, 0};
        std::fill(m_answer, m_answer + 8, 0xFF);
        if (chip == 0) {
            std::copy(lastPart, lastPart + 8, m_answer);
        }
        return m_answer;
    }
    const char* getReaderName() const override { return "BENCH"; }

private:
    unsigned char m_answer[8] = {};
};

// The table and a configuration naming it, in a folder of their own; the
// table is dated an hour back, as an installed table is.
class Station {
public:
    Station()
    {
        char dir[] = "/tmp/tessor-profile-bench-XXXXXX";
        m_dir = mkdtemp(dir);
        const std::string table = m_dir + "/FlashChip.ini";
        {
            std::ofstream out(table);
            for (int part = 0; part < PARTS; ++part) {
                char section[16];
                std::snprintf(section, sizeof section, "EC%02X%02X95", part >> 8, part & 0xFF);
                out << "[" << section << "]\r\nPartNumber=PART" << part << "\r\n";
                for (int i = 0; i < Tessor::usb::FlashProfileFields.count; ++i) {
                    const char* key = Tessor::usb::FlashProfileFields.entries[i].key;
                    if (std::string(key) == "PartNumber") {
                        continue;
                    }
                    const bool geometry = std::string(key).find("PerChip") != std::string::npos ||
                                          std::string(key).find("PerBlock") != std::string::npos ||
                                          std::string(key).find("PerPage") != std::string::npos;
                    out << key << "=" << (geometry ? 64 : i) << "\r\n";
                }
                out << "\r\n";
            }
        }
        m_table = table;
        age(3600);
        const std::string config = m_dir + "/bench.cfg";
        std::ofstream(config) << "FlashProfile string " << table << "\n";
        std::FILE* quiet = std::freopen("/dev/null", "w", stderr);
        Tessor::schema::UsbConfiguration::instance(config);
        (void)quiet;
    }
    // Dates the table `seconds` back, which also marks it changed.
    void age(time_t seconds) const
    {
        const struct timespec back[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
        utimensat(AT_FDCWD, m_table.c_str(), back, 0);
    }
    void touch() const { utimensat(AT_FDCWD, m_table.c_str(), nullptr, 0); }

    ~Station()
    {
        const std::string command = "rm -rf '" + m_dir + "'";
        if (std::system(command.c_str()) != 0) {
            std::perror("rm");
        }
    }

private:
    std::string m_dir;
    std::string m_table;
};

Station& station()
{
    static Station once;
    return once;
}

void identify(benchmark::State& state, double timeScale)
{
    if (state.thread_index() == 0) {
        station();
        sharedSetTimeScale(timeScale);
    }
    LastPartChip chip;
    for (auto _ : state) {
        Tessor::usb::ProfileFlash profile;
        if (profile.parseFlashId(&chip) != 0 || profile.getFlashInfo()->getChipInfo()->BlockPerChip != 64) {
            state.SkipWithError("the device's part was not identified");
            break;
        }
    }
}

void BM_IdentifyEightDevicesTable(benchmark::State& state) { identify(state, 0.0); }

void BM_IdentifyAfterTableChange(benchmark::State& state)
{
    sharedSetTimeScale(0.0);
    LastPartChip chip;
    time_t seconds = 3600;
    for (auto _ : state) {
        station().age(++seconds);
        Tessor::usb::ProfileFlash profile;
        if (profile.parseFlashId(&chip) != 0) {
            state.SkipWithError("the device's part was not identified");
            break;
        }
    }
}
void BM_IdentifyEightDevicesProbe(benchmark::State& state) { identify(state, 1.0); }

void BM_IdentifyEightDevicesColdTable(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    sharedSetTimeScale(0.0);
    const bool justSaved = state.range(0) != 0;
    time_t seconds = 3600;
    double total = 0;
    double slowest = 0;
    for (auto _ : state) {
        if (justSaved) {
            station().touch();
        } else {
            station().age(++seconds);
        }
        std::latch ready(DEVICES);
        std::atomic<bool> failed(false);
        std::vector<double> waited(DEVICES, 0.0);
        std::vector<std::thread> devices;
        for (int d = 0; d < DEVICES; ++d) {
            devices.emplace_back([&, d] {
                ready.arrive_and_wait();
                const auto start = Clock::now();
                LastPartChip chip;
                Tessor::usb::ProfileFlash profile;
                failed = failed || profile.parseFlashId(&chip) != 0;
                waited[size_t(d)] = std::chrono::duration<double>(Clock::now() - start).count();
            });
        }
        for (std::thread& device : devices) {
            device.join();
        }
        if (failed) {
            state.SkipWithError("the device's part was not identified");
            break;
        }
        double sum = 0;
        for (double w : waited) {
            sum += w;
            slowest = std::max(slowest, w);
        }
        total += sum / DEVICES;
        state.SetIterationTime(sum / DEVICES);
    }
    state.counters["per_device_ms"] = state.iterations() > 0 ? total / double(state.iterations()) * 1e3 : 0;
    state.counters["slowest_ms"] = slowest * 1e3;
}

BENCHMARK(BM_IdentifyEightDevicesTable)->Threads(DEVICES)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdentifyEightDevicesProbe)->Threads(DEVICES)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdentifyAfterTableChange)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdentifyEightDevicesColdTable)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
