// Events per second through one event queue, from a producer thread to a
// consumer thread, as between any thread and a manager.
#include <benchmark/benchmark.h>

#include <thread>

#include "schema/event/DeviceEvent.h"

namespace {

using Tessor::schema::BaseEvent;
using Tessor::schema::DeviceEvent;
using Tessor::schema::EventQueue;

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
    for (auto _ : state) {
        runBatch(queue, batch, true);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}

// The queue alone: one event handle passed over and over.
void BM_FifoSameEventBetweenTwoThreads(benchmark::State& state)
{
    const int batch = static_cast<int>(state.range(0));
    EventQueue queue;
    for (auto _ : state) {
        runBatch(queue, batch, false);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}

}  // namespace

BENCHMARK(BM_FifoNewEventsBetweenTwoThreads)->Arg(200000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FifoSameEventBetweenTwoThreads)->Arg(200000)->UseRealTime()->Unit(benchmark::kMillisecond);
