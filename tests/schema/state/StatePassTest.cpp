// Passes of a device's state machine over states of the test's own: which
// operators see an event, where the device goes, and what progress a state
// reports each time it is entered; a station whose states have no operators.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "schema/base/BaseManager.h"
#include "schema/base/RunAgent.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "schema/device/UsbDeviceMgr.h"
#include "schema/event/DeviceEvent.h"
#include "schema/event/UiEvent.h"
#include "schema/ops/DeviceOperator.h"
#include "schema/state/BaseState.h"
#include "schema/state/BaseStateMachine.h"
#include "support/ManagerDrain.h"
#include "support/TempFolder.h"
#include "usb/ops/UsbProduction.h"

namespace {

using namespace Tessor::schema;

constexpr int FIRST = 100;
constexpr int SECOND = 101;

// What the operators saw, in order, from the device's thread.
struct Trace {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> seen;

    void add(const std::string& what)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            seen.push_back(what);
        }
        changed.notify_all();
    }

    bool waitSize(size_t n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return seen.size() >= n; });
    }

    std::vector<std::string> get()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return seen;
    }
};

// Takes device events of its signal, reports what is left of its progress,
// and answers with the state of `next` (none: stay; DOWN: downState).
class TestOperator : public DeviceOperator {
public:
    static constexpr int STAY = -1;
    static constexpr int DOWN = -2;

    TestOperator(const std::string& name, int weight, Trace& trace, DeviceSignalType signal, int next)
        : DeviceOperator(name, weight), m_trace(trace), m_signal(signal), m_next(next)
    {
    }

    Sptr<BaseState> process(Sptr<BaseEvent> event) override
    {
        if (m_signal != 0 && getDeviceEventType(event) != m_signal) {
            return noState;
        }
        m_trace.add(getName());
        updateToTotalProcess(event);
        if (m_next == DOWN) {
            return downState;
        }
        return m_next == STAY ? noState : lookupDeviceState(event, m_next);
    }

private:
    Trace& m_trace;
    DeviceSignalType m_signal;
    int m_next;
};

class TestState : public BaseState {
public:
    TestState(const char* name, int type) : BaseState(name, type, true) {}

    void add(BaseOperator* op) { addOperator(Sptr<BaseOperator>(op)); }
    void addEntry(BaseOperator* op) { addEntryOperator(Sptr<BaseOperator>(op)); }
};

// Progress reports the device sends, as "current/total".
class ProgressSink : public BaseManager {
public:
    ProgressSink() : BaseManager(nullptr, "UiMgr") {}

    void reportEvent(const Sptr<BaseEvent>& event) override
    {
        Sptr<UiEvent> report(event);
        std::lock_guard<std::mutex> lock(mutex);
        Sptr<ProgressInfo> progress = report->getProgressInfo();
        reports.push_back(std::to_string(progress->getCurrentProgress()) + "/" +
                          std::to_string(progress->getTotalProgress()));
        changed.notify_all();
    }

    // The first `n` reports, once they have come.
    std::vector<std::string> waitReports(size_t n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return reports.size() >= n; });
        return reports;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> reports;
};

class StatePassTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const test_support::TempFolder folder;
        UsbConfiguration::instance(folder.write("state-pass.cfg", "ChipSet string 6716\nLog_Level int 3\n"));
    }

    void SetUp() override
    {
        RunAgent::attachUi(&sink);
        root = new BaseManager(nullptr, "AgentMgr");
        Tessor::usb::installUsbProduction();
        device = new UsbDevice(root, 0, "UDISK-0");
        first = new TestState("First", FIRST);
        second = new TestState("Second", SECOND);
        device->getBaseStateMachine()->addState(Sptr<BaseState>(first));
        device->getBaseStateMachine()->addState(Sptr<BaseState>(second));
        device->setState(device->findState(FIRST));
        device->execute();
        root->addManager(device);
    }

    void TearDown() override
    {
        root->removeAllManagers();
        delete root;
        RunAgent::detachUi();
    }

    void post(DeviceSignalType signal)
    {
        Sptr<DeviceEvent> event(new DeviceEvent(signal));
        event->setDevice(device);
        device->reportEvent(Sptr<BaseEvent>(event));
    }

    std::string stateName()
    {
        Sptr<BaseState> state = device->getState();
        return state ? state->getName() : "";
    }

    Trace trace;
    ProgressSink sink;
    BaseManager* root = nullptr;
    UsbDevice* device = nullptr;
    TestState* first = nullptr;
    TestState* second = nullptr;
};

TEST_F(StatePassTest, TheFirstOperatorNamingAStateEndsThePassAndTheNewStateEntersOnTheSameEvent)
{
    first->add(new TestOperator("passes", 0, trace, DEV_SIG_READ_FLASH_ID, TestOperator::STAY));
    first->add(new TestOperator("switches", 0, trace, DEV_SIG_READ_VERSION, SECOND));
    first->add(new TestOperator("never", 0, trace, DEV_SIG_READ_VERSION, TestOperator::STAY));
    second->addEntry(new TestOperator("entry", 0, trace, DEV_SIG_READ_VERSION, FIRST));
    second->add(new TestOperator("stops", 0, trace, DEV_SIG_SCAN, TestOperator::DOWN));
    second->add(new TestOperator("after down", 0, trace, DEV_SIG_SCAN, FIRST));

    post(DEV_SIG_READ_VERSION);
    post(DEV_SIG_SCAN);
    ASSERT_TRUE(trace.waitSize(3));
    ASSERT_TRUE(test_support::waitDrained(*device, std::chrono::seconds(10)));
    EXPECT_EQ(trace.get(), (std::vector<std::string>{"switches", "entry", "stops"}));
    EXPECT_EQ(stateName(), "Second");
}

TEST_F(StatePassTest, EveryEntryIntoAStateReportsItsOperatorsProgressFromZero)
{
    // Weights 300 and 700: the state's bar has 1000.
    first->add(new TestOperator("work", 300, trace, DEV_SIG_SCAN, TestOperator::STAY));
    first->add(new TestOperator("more work", 700, trace, DEV_SIG_SCAN, SECOND));
    second->add(new TestOperator("back", 0, trace, DEV_SIG_READ_VERSION, FIRST));

    post(DEV_SIG_SCAN);
    post(DEV_SIG_READ_VERSION);
    post(DEV_SIG_SCAN);
    ASSERT_TRUE(trace.waitSize(5));
    EXPECT_EQ(sink.waitReports(4), (std::vector<std::string>{"300/1000", "1000/1000", "300/1000", "1000/1000"}));
}

// A station whose production side never named the states' operators would
// take devices it could never move on: its device manager does not start.
TEST(StateOperatorsTest, ADeviceManagerDoesNotStartBeforeTheStatesHaveOperators)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Run in a process of its own, where nothing has filled the table.
    EXPECT_EXIT(
        {
            const test_support::TempFolder folder;
            UsbConfiguration::instance(folder.write("bare.cfg", "ChipSet string 6716\nLog_Level int 3\n"));
            UsbDeviceMgr manager(nullptr, "UsbMgr");
            const int result = manager.init();
            std::fprintf(stderr, "%d: %s\n", result, manager.getStartFailure().c_str());
            std::exit(manager.getManagerCount());
        },
        ::testing::ExitedWithCode(0), "-1: the production side is not installed");
}

}  // namespace
