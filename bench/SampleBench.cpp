// Start-up cost of a missing sample file: random data, its complement, the
// error-correction zones of both, and the write.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "usb/scan/SampleFactory.h"

namespace {

void BM_SampleFileCreate(benchmark::State& state)
{
    char pattern[] = "/tmp/tessor-sample-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path dir = pattern;
    const std::string file = (dir / "ScanSample.bin").string();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(file);
        state.ResumeTiming();
        if (Tessor::usb::SampleFactory::init(file, 1) != 0) {
            state.SkipWithError("sample file not created");
            break;
        }
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SampleFileCreate)->Unit(benchmark::kMillisecond);

}  // namespace
