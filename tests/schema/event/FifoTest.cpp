#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/event/Fifo.h"
#include "support/Waits.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Item {
    explicit Item(std::string text) : label(std::move(text)) {}
    std::string label;
};

using Queue = Tessor::Fifo<Sptr<Item>>;

Sptr<Item> item(const std::string& label)
{
    return Sptr<Item>(new Item(label));
}

std::vector<std::string> drain(Queue& queue, int n)
{
    std::vector<std::string> labels;
    for (int i = 0; i < n; ++i) {
        Sptr<Item> next = queue.popWait();
        labels.push_back(next ? next->label : "<empty>");
    }
    return labels;
}

TEST(Fifo, DelayedItemThatFallsDueJoinsBehindTheQueuedOnes)
{
    struct Case {
        const char* name;
        long delayMs;
    };
    for (const Case& c : {Case{"due in 1 ms", 1}, Case{"due now", 0}, Case{"negative delay", -5}}) {
        Queue queue;
        queue.push(item("a"));
        queue.addDelayMs(item("delayed"), c.delayMs);
        queue.push(item("b"));
        std::this_thread::sleep_for(5ms);
        queue.push(item("c"));
        EXPECT_EQ(drain(queue, 4), (std::vector<std::string>{"a", "b", "c", "delayed"})) << c.name;
        EXPECT_EQ(queue.getPendingCount(), 0);
    }
}

TEST(Fifo, WaitBlocksUntilAPush)
{
    Queue queue;
    // Timed from before the producer exists: a main thread that runs late may
    // find the item there already, but never sooner than the producer's sleep.
    const auto start = Clock::now();
    std::thread producer([&] {
        std::this_thread::sleep_for(30ms);
        queue.push(item("late"));
    });
    EXPECT_EQ(drain(queue, 1), std::vector<std::string>{"late"});
    EXPECT_GE(Clock::now() - start, 30ms);
    producer.join();
}

TEST(Fifo, PendingDelayedItemWakesTheWaiterWhenDue)
{
    Queue queue;
    const auto start = Clock::now();
    queue.addDelayMs(item("timer"), 40);
    EXPECT_EQ(drain(queue, 1), std::vector<std::string>{"timer"});
    EXPECT_GE(Clock::now() - start, 39ms);
}

TEST(Fifo, DelayedItemAddedWhileTheConsumerWaitsIsDelivered)
{
    Queue queue;
    std::atomic<bool> received{false};
    const pid_t consumer = test_support::threadId();
    std::thread producer([&] {
        EXPECT_TRUE(test_support::waitBlocked(consumer));
        queue.addDelayMs(item("timer"), 10);
        // Frees a consumer that missed the timer, so the test fails instead of hanging.
        if (!test_support::waitUntil([&] { return received.load(); }, 2s)) {
            queue.push(item("missed"));
        }
    });
    EXPECT_EQ(drain(queue, 1), std::vector<std::string>{"timer"});
    received = true;
    producer.join();
}

TEST(Fifo, EmptyHandleIsAnItemLikeAnyOther)
{
    Queue queue;
    queue.push(Sptr<Item>());
    queue.push(item("x"));
    EXPECT_EQ(drain(queue, 2), (std::vector<std::string>{"<empty>", "x"}));
}

TEST(Fifo, ItemsFromManyProducersAllArriveInEachProducersOrder)
{
    constexpr int kProducers = 4;
    constexpr int kEach = 5000;
    Queue queue;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kEach; ++i) {
                queue.push(item(std::to_string(p) + " " + std::to_string(i)));
            }
        });
    }
    std::vector<int> next(kProducers, 0);
    for (int n = 0; n < kProducers * kEach; ++n) {
        Sptr<Item> got = queue.popWait();
        int producer = 0;
        int sequence = 0;
        ASSERT_EQ(std::sscanf(got->label.c_str(), "%d %d", &producer, &sequence), 2);
        ASSERT_EQ(sequence, next[producer]);
        ++next[producer];
    }
    for (auto& producer : producers) {
        producer.join();
    }
    EXPECT_EQ(queue.getReadyCount(), 0);
}

}  // namespace
