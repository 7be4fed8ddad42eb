#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "schema/base/BaseManager.h"
#include "support/LogCapture.h"
#include "support/Waits.h"

namespace {

using namespace std::chrono_literals;
using Tessor::schema::BaseEvent;
using Tessor::schema::BaseManager;

// What the managers did, in the order they did it.
class Journal {
public:
    void add(const std::string& entry)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_entries.push_back(entry);
        m_changed.notify_all();
    }
    std::vector<std::string> entries()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_entries;
    }
    // Waits until `n` entries are there; false after 10 s.
    bool waitFor(std::size_t n)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [&] { return m_entries.size() >= n; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_entries;
};

// Opens and shuts once.
class Gate {
public:
    void open()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    void pass()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

class TestEvent : public BaseEvent {
public:
    explicit TestEvent(std::string text, Gate* waitAt = nullptr, std::chrono::milliseconds workFor = 0ms)
        : label(std::move(text)), gate(waitAt), work(workFor)
    {
    }
    const char* name() const override { return "TEST-EVENT"; }
    std::string label;
    Gate* gate;
    std::chrono::milliseconds work;
};

class TestManager : public BaseManager {
public:
    TestManager(BaseManager* parent, const std::string& name, Journal& journal)
        : BaseManager(parent, name), m_journal(journal)
    {
        if (parent != nullptr) {
            parent->addManager(this);
        }
    }
    ~TestManager() override
    {
        m_journal.add(std::string("end ") + getName() +
                      (std::this_thread::get_id() == s_testThread ? " on the test thread" : ""));
    }

    // Stops the manager's own children first, as a device manager does.
    void destory() override
    {
        m_journal.add(std::string("destory ") + getName());
        removeAllManagers();
    }

    void myProcessEvent(const Sptr<BaseEvent>& event) override
    {
        const int inFlight = ++m_inFlight;
        Sptr<TestEvent> test = event;
        if (!event) {
            m_journal.add(std::string(getName()) + " took an empty handle");
        }
        if (test) {
            if (test->gate != nullptr) {
                test->gate->pass();
            }
            std::this_thread::sleep_for(test->work);
            m_journal.add(std::string(getName()) + " " + test->label + (inFlight > 1 ? " overlapped" : ""));
        }
        --m_inFlight;
    }

    bool busy() const { return m_inFlight > 0; }

    static std::thread::id s_testThread;

private:
    Journal& m_journal;
    std::atomic<int> m_inFlight{0};
};

std::thread::id TestManager::s_testThread;

class Managers : public testing::Test {
protected:
    void SetUp() override { TestManager::s_testThread = std::this_thread::get_id(); }
    void post(BaseManager* manager, const std::string& label, Gate* gate = nullptr,
              std::chrono::milliseconds work = 0ms)
    {
        manager->reportEvent(Sptr<BaseEvent>(new TestEvent(label, gate, work)));
    }

    BaseManager root{nullptr, "AgentMgr"};
    Journal journal;
};

TEST_F(Managers, ChildrenAreIndexedInOrderAndInvalidIndexesAreRefused)
{
    test_support::LogCapture log(Tessor::schema::LOG_EMRG);
    std::vector<std::unique_ptr<TestManager>> children;
    for (int i = 0; i < 3; ++i) {
        children.push_back(std::make_unique<TestManager>(&root, "child" + std::to_string(i), journal));
        EXPECT_EQ(children.back()->getIndex(), i);
    }
    EXPECT_EQ(root.getManager(1), children[1].get());
    struct Case {
        int index;
        bool logged;
    };
    for (const Case& c : {Case{-1, true}, Case{4, true}, Case{3, false}}) {
        EXPECT_EQ(root.getManager(c.index), nullptr);
        const bool logged =
            log.text().find("Device Index " + std::to_string(c.index) + " is invalidate") != std::string::npos;
        EXPECT_EQ(logged, c.logged) << c.index;
    }
    EXPECT_NE(log.text().find("] EMRG "), std::string::npos);
    children.clear();
    EXPECT_EQ(root.getManagerCount(), 0);
}

TEST_F(Managers, RemovingAllFromAManagerWithoutChildrenReturnsAtOnce)
{
    test_support::LogCapture log;
    root.removeAllManagers();
    const std::string text = log.text();
    EXPECT_NE(text.find("AgentMgr remove all Managers....."), std::string::npos);
    EXPECT_NE(text.find("AgentMgr remove all ended!"), std::string::npos);
}

TEST_F(Managers, TreeShutsDownChildByChildEachTearDownOnce)
{
    auto* usb = new TestManager(&root, "UsbMgr", journal);
    auto* slot0 = new TestManager(usb, "UDISK-0", journal);
    auto* slot1 = new TestManager(usb, "UDISK-1", journal);
    auto* ui = new TestManager(&root, "UiMgr", journal);
    auto* panel = new TestManager(ui, "Panel", journal);
    for (BaseManager* m : {slot0, slot1, panel}) {
        m->execute();
    }
    usb->execute();
    ui->execute();

    // Slot 0 is still busy for a while when it is asked to stop: its
    // tear-down must not be repeated while it winds down.
    post(slot0, "slow", nullptr, 60ms);
    ASSERT_TRUE(test_support::waitUntil([&] { return slot0->busy(); }));
    root.removeAllManagers();

    EXPECT_EQ(root.getManagerCount(), 0);
    const std::vector<std::string> expected = {
        "destory UsbMgr", "destory UDISK-0", "UDISK-0 slow", "end UDISK-0", "destory UDISK-1", "end UDISK-1",
        "end UsbMgr",     "destory UiMgr",   "destory Panel", "end Panel",  "end UiMgr",
    };
    EXPECT_EQ(journal.entries(), expected);
}

TEST_F(Managers, StopLetsTheRunningEventFinishAndTakesNoMore)
{
    auto* manager = new TestManager(&root, "UiMgr", journal);
    manager->execute();
    Gate gate;
    post(manager, "first", &gate);
    post(manager, "second");
    post(manager, "third");
    ASSERT_TRUE(test_support::waitUntil([&] { return manager->busy(); }));
    std::thread stopper([&] { root.removeAllManagers(); });
    // The manager cannot end while it waits at the gate, so it may be asked.
    EXPECT_TRUE(test_support::waitUntil([&] { return manager->isShutdown(); }));
    gate.open();
    stopper.join();
    const std::vector<std::string> expected = {"destory UiMgr", "UiMgr first", "end UiMgr"};
    EXPECT_EQ(journal.entries(), expected);
}

TEST_F(Managers, JoinReturnsOnceTheThreadHasEnded)
{
    auto* manager = new TestManager(&root, "UiMgr", journal);
    manager->execute();
    // Stopped once this thread waits in the join: the manager must still be
    // there when the join begins.
    std::atomic<pid_t> joining{0};
    std::thread stopper([&] {
        EXPECT_TRUE(test_support::waitUntil([&] { return joining != 0; }));
        EXPECT_TRUE(test_support::waitBlocked(joining));
        root.removeAllManagers();
    });
    joining = test_support::threadId();
    manager->join();
    const std::vector<std::string> expected = {"destory UiMgr", "end UiMgr"};
    EXPECT_EQ(journal.entries(), expected);
    stopper.join();
}

TEST_F(Managers, EmptyHandleWakesTheThreadWithoutBeingProcessed)
{
    auto* manager = new TestManager(&root, "UiMgr", journal);
    manager->execute();
    manager->reportEvent(Sptr<BaseEvent>());
    post(manager, "real");
    ASSERT_TRUE(journal.waitFor(1));
    root.removeAllManagers();
    const std::vector<std::string> expected = {"UiMgr real", "destory UiMgr", "end UiMgr"};
    EXPECT_EQ(journal.entries(), expected);
}

TEST_F(Managers, EventsFromManyThreadsAreTakenOneAtATimeInQueueOrder)
{
    constexpr int kProducers = 4;
    constexpr int kEach = 2500;
    auto* manager = new TestManager(&root, "UsbMgr", journal);
    manager->execute();
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kEach; ++i) {
                post(manager, std::to_string(p) + " " + std::to_string(i));
            }
        });
    }
    for (auto& producer : producers) {
        producer.join();
    }
    ASSERT_TRUE(journal.waitFor(kProducers * kEach));
    root.removeAllManagers();

    std::vector<int> next(kProducers, 0);
    int processed = 0;
    for (const std::string& entry : journal.entries()) {
        int producer = 0;
        int sequence = 0;
        if (std::sscanf(entry.c_str(), "UsbMgr %d %d", &producer, &sequence) != 2) {
            continue;
        }
        ASSERT_EQ(entry.find("overlapped"), std::string::npos) << entry;
        ASSERT_EQ(sequence, next[producer]) << entry;
        ++next[producer];
        ++processed;
    }
    EXPECT_EQ(processed, kProducers * kEach);
}

class ProbeEvent : public BaseEvent {
public:
    const char* name() const override { return "PROBE-EVENT"; }
};

struct ProbeRecord {
    Gate held;
    Gate release;
    std::atomic<int> processed{0};
    std::promise<void> ended;
};

// Its thread is held once in its own step of the loop, past the loop's stop
// check and before it takes the next event, so that events and a stop request
// can be put in while it waits there.
class ProbeManager : public BaseManager {
public:
    explicit ProbeManager(ProbeRecord& record) : BaseManager(nullptr, "Probe"), m_record(record) {}
    ~ProbeManager() override { m_record.ended.set_value(); }
    void myMainLoop(void* /*arg*/) override
    {
        if (m_first) {
            m_first = false;
            m_record.held.open();
            m_record.release.pass();
        }
    }
    void myProcessEvent(const Sptr<BaseEvent>& /*event*/) override { ++m_record.processed; }

private:
    ProbeRecord& m_record;
    bool m_first = true;
};

TEST(ManagerStopProbe, EventsWaitingWhenTheStopIsAskedForAreNotProcessed)
{
    ProbeRecord record;
    std::future<void> ended = record.ended.get_future();
    auto* manager = new ProbeManager(record);
    Sptr<Tessor::schema::EventQueue> queue = manager->getQueue();
    manager->execute();
    record.held.pass();
    // Ahead of the stop's own wake-up in the queue, and pushed once the flag
    // is set.
    queue->push(Sptr<BaseEvent>(new ProbeEvent()));
    manager->shutdown();
    queue->push(Sptr<BaseEvent>(new ProbeEvent()));
    record.release.open();
    ASSERT_EQ(ended.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(record.processed, 0);
}

}  // namespace
