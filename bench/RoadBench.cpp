// Twenty 4 GiB simulated devices taken through the whole production road at
// once (scan, low format, high format, built), timed from the start requests
// to the last device built.
// - With the realistic timing model: "ratio" is the wall time over the
//   slowest device's modelled device time (the sum of what its operations
//   would take on a real device), both at the process time scale
//   (TESSOR_ROAD_BENCH_SCALE, default 1).
// - With the timing model off: "wall_per_device_s" is the wall time over the
//   device count.
// Both give "cpu_per_device_s", the process's CPU time (every thread's, the
// simulated devices' included) from the start requests to the last device
// built, over the device count.
// Each benchmark takes the device count as its argument; the devices have
// the geometry of the engine tests' 4 GiB part.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "schema/ui/EngineHarness.h"

namespace {

using namespace engine_test;


double processCpuSeconds()
{
    struct timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double timeScale()
{
    const char* text = std::getenv("TESSOR_ROAD_BENCH_SCALE");
    return text != nullptr ? std::atof(text) : 1.0;
}

// Waits until every port's device is built; false when one fails or the
// limit passes.
bool waitAllBuilt(Engine& engine, int ports, std::chrono::steady_clock::duration limit, std::string* why)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (int port = 0; port < ports; ++port) {
        for (;;) {
            const std::string state = engine.stateOf(port);
            if (state == "StateBuildOk") {
                break;
            }
            if (state == "StateError" || state == "StateUnplug" || std::chrono::steady_clock::now() > end) {
                *why = "port " + std::to_string(port) + " in " + state;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return true;
}

void runRoad(benchmark::State& state, bool realistic)
{
    const int ports = int(state.range(0));
    EngineEnvironment& environment = EngineEnvironment::instance();
    const double scale = realistic ? timeScale() : 1.0;
    UsbConfiguration::instance()->setChipSet("6716");
    Engine engine(ports, FUNCTION_FACTORY);
    if (!engine.ui().waitLayerReady()) {
        state.SkipWithError("the device library did not start");
        return;
    }
    double wall = 0;
    double cpu = 0;
    double slowest = 0;
    for (auto _ : state) {
        // Plugged and read at the tests' fast scale: only the road is timed.
        sharedSetTimeScale(0.001);
        for (int port = 0; port < ports; ++port) {
            const std::string folder = environment.makeDevice(
                "road" + std::to_string(port),
                {{"Device.FlashId", LARGE_FLASH_ID},
                 {"Device.BlocksPerChip", std::to_string(LARGE_PART.blocks)},
                 {"Device.PagesPerBlock", std::to_string(LARGE_PART.pages)},
                 {"Device.Timing", realistic ? "realistic" : "off"}});
            std::string error;
            if (engine.hub().plug(port, folder, &error) != 0 || !engine.waitState(port, "StateWait")) {
                state.SkipWithError(("plug-in failed: " + error).c_str());
                return;
            }
        }
        std::vector<int64_t> before(size_t(ports), 0);
        for (int port = 0; port < ports; ++port) {
            before[size_t(port)] = engine.hub().device(port)->modelledMicros();
        }
        sharedSetTimeScale(scale);
        const auto start = std::chrono::steady_clock::now();
        const double cpuAtStart = processCpuSeconds();
        for (int port = 0; port < ports; ++port) {
            if (!engine.startFitted(port)) {
                state.SkipWithError("the settings do not fit the device");
                return;
            }
        }
        std::string why;
        if (!waitAllBuilt(engine, ports, std::chrono::hours(2), &why)) {
            state.SkipWithError(("not built: " + why).c_str());
            return;
        }
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu = processCpuSeconds() - cpuAtStart;
        sharedSetTimeScale(0.001);
        int64_t most = 0;
        for (int port = 0; port < ports; ++port) {
            most = std::max(most, engine.hub().device(port)->modelledMicros() - before[size_t(port)]);
        }
        slowest = double(most) / 1e6 * scale;
        state.SetIterationTime(wall);
        for (int port = 0; port < ports; ++port) {
            (void)engine.hub().unplug(port);  // the port holds the device just built
            engine.request(port, UI_SIG_RELEASED);
            engine.waitState(port, "StateUnplug");
        }
    }
    state.counters["wall_s"] = wall;
    state.counters["wall_per_device_s"] = wall / ports;
    state.counters["cpu_per_device_s"] = cpu / ports;
    if (realistic) {
        state.counters["slowest_device_s"] = slowest;
        state.counters["ratio"] = slowest > 0 ? wall / slowest : 0;
        state.counters["time_scale"] = scale;
    }
}

void BM_RoadRealisticTiming(benchmark::State& state) { runRoad(state, true); }
void BM_RoadTimingOff(benchmark::State& state) { runRoad(state, false); }

BENCHMARK(BM_RoadTimingOff)->Arg(1)->Arg(20)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_RoadRealisticTiming)->Arg(20)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
