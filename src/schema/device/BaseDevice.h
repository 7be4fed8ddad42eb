// The manager of one production port: its state machine, current state and
// operator, in-state progress and the cancel value that requests set at once.
#pragma once

#include <atomic>
#include <string>

#include "schema/base/BaseManager.h"
#include "schema/base/Mutex.h"
#include "schema/base/Sptr.h"

namespace Tessor::schema {

class BaseOperator;
class BaseState;
class ProgressInfo;
class UiEvent;

class BaseDevice : public BaseManager {
public:
    BaseDevice(BaseManager* parent, int slot, const std::string& name);
    ~BaseDevice() override;

    void reportEvent(const Sptr<BaseEvent>& event) override;
    [[nodiscard]] int startup() override;
    [[nodiscard]] virtual int reset() = 0;
    // Whether `event` concerns the device now in the slot; safe from any
    // thread.
    virtual bool isCurrent(const BaseEvent& /*event*/) const { return true; }
    // Whether the device now in the slot has been reported gone: nothing is
    // reported of it after that. Device thread only.
    virtual bool removalReported() const { return false; }

    Sptr<BaseState> findState(int type);
    void setState(Sptr<BaseState> state);
    Sptr<BaseState> getState() const { return m_state; }
    void setOperator(Sptr<BaseOperator> op) { m_operator = op; }
    Sptr<BaseOperator> getOperator() const { return m_operator; }
    void updateProgressNumber(int progress);
    int getProgressNumber() const { return m_progressNumber; }
    void updateProgressInfo(int n);
    void lock();
    void unlock();
    // 0, or the code that stops the run: CANCELLED for a cancel request, the
    // eject's code EJECT_FAILED for an eject request.
    int checkCancel() const { return m_cancel.load(std::memory_order_relaxed); }
    // Sets the cancel value under the state lock.
    void cancel(int code);
    void resetCancel() { m_cancel.store(0, std::memory_order_relaxed); }

protected:
    // Adds what only the concrete device knows (its record, scan mode).
    virtual void completeReport(UiEvent& report, ProgressInfo& progress);

    Sptr<BaseState> m_state;
    // Read by the scan loops without the lock.
    std::atomic<int> m_cancel{0};
    int m_progressNumber = 0;
    Threads::Mutex m_stateLock;
    Sptr<BaseOperator> m_operator;
};

}  // namespace Tessor::schema
