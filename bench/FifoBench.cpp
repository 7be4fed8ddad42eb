// Events per second through one event queue, from a producer thread to a
// consumer thread, as between any thread and a manager.
#include <benchmark/benchmark.h>

#include <ctime>
#include <thread>

#include "schema/event/DeviceEvent.h"

namespace {

using Tessor::schema::BaseEvent;
using Tessor::schema::DeviceEvent;
using Tessor::schema::EventQueue;

// CPU time of both threads together, so a machine busy with other work does
// not hide what the queue itself costs.
double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void report(benchmark::State& state, int batch, double cpuSeconds)
{
    const double events = static_cast<double>(state.iterations()) * batch;
    state.SetItemsProcessed(static_cast<int64_t>(events));
    state.counters["events_per_cpu_s"] = events / cpuSeconds;
}

void runBatch(EventQueue& queue, int batch, bool freshEvents)
{
    std::thread consumer([&] {
        for (int i = 0; i < batch; ++i) {
            benchmark::DoNotOptimize(queue.popWait());
        }
    });
    Sptr<BaseEvent> shared(new DeviceEvent(Tessor::schema::DEV_SIG_SCAN));
    for (int i = 0; i < batch; ++i) {
        if (freshEvents) {
            queue.push(Sptr<BaseEvent>(new DeviceEvent(Tessor::schema::DEV_SIG_SCAN)));
        } else {
            queue.push(shared);
        }
    }
    consumer.join();
}

// Each event is made by the producer and dropped by the consumer.
void BM_FifoNewEventsBetweenTwoThreads(benchmark::State& state)
{
    const int batch = static_cast<int>(state.range(0));
    EventQueue queue;
    const double start = processCpuSeconds();
    for (auto _ : state) {
        runBatch(queue, batch, true);
    }
    report(state, batch, processCpuSeconds() - start);
}

// The queue alone: one event handle passed over and over.
void BM_FifoSameEventBetweenTwoThreads(benchmark::State& state)
{
    const int batch = static_cast<int>(state.range(0));
    EventQueue queue;
    const double start = processCpuSeconds();
    for (auto _ : state) {
        runBatch(queue, batch, false);
    }
    report(state, batch, processCpuSeconds() - start);
}

}  // namespace

BENCHMARK(BM_FifoNewEventsBetweenTwoThreads)->Arg(200000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FifoSameEventBetweenTwoThreads)->Arg(200000)->UseRealTime()->Unit(benchmark::kMillisecond);
