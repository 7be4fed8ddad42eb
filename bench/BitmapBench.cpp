// Sector bitmap of the largest flash the bitmap image can describe
// (64,487,424 sectors, about 31 GiB): heap it takes and the clean-up time.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

#include "schema/base/Log.h"
#include "usb/cmd/BitRange.h"
#include "usb/cmd/SectorBitmap.h"

namespace {

using Tessor::usb::BitmapGeometry;
using Tessor::usb::SectorBitmap;

BitmapGeometry largestFlash(int sectorsPerPage, bool tlc = false)
{
    BitmapGeometry g;
    g.tlc = tlc;
    g.realBlocksPerChip = 7800;
    g.realPagesPerBlock = 4096 / sectorsPerPage * 3 / 4;
    g.chips = 2;
    g.sectorsPerPage = sectorsPerPage;
    g.pagesPerBlock = 4096 / sectorsPerPage;
    g.blocksPerChip = 7872;
    return g;
}

// A scan result with a bad sector every 997 sectors and 1 % whole bad blocks.
void scatterBadSectors(SectorBitmap& bitmap)
{
    const BitmapGeometry& g = bitmap.getGeometry();
    for (int64_t sector = 0; sector < g.totalSectors(); sector += 997) {
        Tessor::usb::BitRange::set(bitmap.getBitmap(), sector);
    }
    for (int block = 0; block < g.totalBlocks(); block += 100) {
        bitmap.setAsBad(block);
    }
}

void BM_SectorBitmapUpdate(benchmark::State& state)
{
    Tessor::schema::setLogLevel(2);
    const int priority = static_cast<int>(state.range(0));
    const int sectorsPerPage = static_cast<int>(state.range(1));
    const bool tlc = state.range(2) != 0;
    const size_t heapBefore = mallinfo2().uordblks;
    auto bitmap = std::make_unique<SectorBitmap>(largestFlash(sectorsPerPage, tlc), "SectorBitmap");
    const size_t heapAfter = mallinfo2().uordblks;
    for (auto _ : state) {
        state.PauseTiming();
        bitmap->setAsGood();
        scatterBadSectors(*bitmap);
        state.ResumeTiming();
        benchmark::DoNotOptimize(bitmap->cleanUp(priority));
        benchmark::DoNotOptimize(bitmap->getBitmap());
    }
    state.counters["heap_MiB"] = static_cast<double>(heapAfter - heapBefore) / (1024.0 * 1024.0);
    state.counters["sectors"] = static_cast<double>(bitmap->getGeometry().totalSectors());
}

BENCHMARK(BM_SectorBitmapUpdate)
    ->ArgNames({"priority", "S", "tlc"})
    ->Args({0, 16, 0})
    ->Args({2, 8, 0})
    ->Args({2, 4, 0})
    ->Args({3, 16, 0})
    ->Args({0, 16, 1})
    ->Unit(benchmark::kMillisecond);

void BM_SectorBitmapMultiPlaneView(benchmark::State& state)
{
    Tessor::schema::setLogLevel(2);
    SectorBitmap bitmap(largestFlash(16), "SectorBitmap");
    scatterBadSectors(bitmap);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bitmap.setToMultiPlane(2, 2));
        bitmap.setToSinglePlane();
    }
    const size_t heap = mallinfo2().uordblks;
    state.counters["heap_MiB_with_view"] = static_cast<double>(heap) / (1024.0 * 1024.0);
}

BENCHMARK(BM_SectorBitmapMultiPlaneView)->Unit(benchmark::kMillisecond);

}  // namespace
