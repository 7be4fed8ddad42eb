#include "platform/orrin/Ecc.h"

#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <vector>

namespace {

constexpr int kSectors = 256;

struct Sectors {
    std::vector<std::array<uint8_t, 512>> data{kSectors};
    std::vector<std::array<uint8_t, 16>> zone{kSectors};

    Sectors()
    {
        std::mt19937 rng(11);
        for (int i = 0; i < kSectors; ++i) {
            for (auto& b : data[i]) {
                b = uint8_t(rng());
            }
            zone[i] = {0x5A, 0xA9, 0x40, 0x00};
            generateEccCode(data[i].data(), zone[i].data());
        }
    }
};

void BM_Encode(benchmark::State& state)
{
    Sectors s;
    int i = 0;
    for (auto _ : state) {
        generateEccCode(s.data[i].data(), s.zone[i].data());
        benchmark::DoNotOptimize(s.zone[i].data());
        i = (i + 1) % kSectors;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 512);
}
BENCHMARK(BM_Encode);

void BM_CheckClean(benchmark::State& state)
{
    Sectors s;
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Tessor::Ecc::checkAndCorrect(s.data[i].data(), s.zone[i].data()));
        i = (i + 1) % kSectors;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 512);
}
BENCHMARK(BM_CheckClean);

// Damages `errors` bytes far apart, then corrects them back.
void BM_CorrectErrors(benchmark::State& state)
{
    const int errors = int(state.range(0));
    Sectors s;
    int i = 0;
    for (auto _ : state) {
        for (int e = 0; e < errors; ++e) {
            s.data[i][e * 100] ^= 0x5A;  // a byte at a multiple of 5 lies in one symbol
        }
        benchmark::DoNotOptimize(Tessor::Ecc::checkAndCorrect(s.data[i].data(), s.zone[i].data()));
        i = (i + 1) % kSectors;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 512);
}
BENCHMARK(BM_CorrectErrors)->Arg(1)->Arg(5);

}  // namespace
