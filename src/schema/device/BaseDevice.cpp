#include "schema/device/BaseDevice.h"

#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/RunAgent.h"
#include "schema/event/ProgressInfo.h"
#include "schema/event/UiEvent.h"
#include "schema/ops/BaseOperator.h"
#include "schema/state/BaseStateMachine.h"
#include "schema/state/DeviceStates.h"

namespace Tessor::schema {

BaseDevice::BaseDevice(BaseManager* parent, int /*slot*/, const std::string& name)
    : BaseManager(parent, name)
{
    Sptr<BaseStateMachine> machine(new BaseStateMachine(this));
    addDeviceStates(*machine);
    setBaseStateMachine(machine);
}

BaseDevice::~BaseDevice()
{
    // The manager base leaves the parent's list once, as its last touch of
    // the parent: a second removal here could meet a parent already gone.
    CPLOG(7, "Destorying BaseDevice %s.....", getName());
}

void BaseDevice::reportEvent(const Sptr<BaseEvent>& event)
{
    CPLOG(7, "Add event %s to %s", event ? event->name() : "", getName());
    std::lock_guard<BaseDevice> guard(*this);
    Sptr<UiEvent> request(event);
    // A request left over from a device already gone cancels nothing of the
    // one that followed it; the device thread drops it.
    if (request && isCurrent(*request)) {
        // Set here, on the posting thread and before the request is queued,
        // so a running scan sees it at once and the device thread cannot
        // take and clear it before it is stored.
        if (request->getType() == UI_SIG_CANCEL) {
            CPLOG(7, "User is Cancel the Producting!");
            m_cancel.store(DeviceCode::CANCELLED, std::memory_order_relaxed);
        } else if (request->getType() == UI_SIG_EJECT) {
            CPLOG(3, "User is Eject the Disk!");
            m_cancel.store(DeviceCode::EJECT_FAILED, std::memory_order_relaxed);
        }
    }
    getQueue()->push(event);
}

void BaseDevice::cancel(int code)
{
    std::lock_guard<BaseDevice> guard(*this);
    m_cancel.store(code, std::memory_order_relaxed);
}

int BaseDevice::startup() { return 0; }

Sptr<BaseState> BaseDevice::findState(int type) { return getBaseStateMachine()->findState(type); }

void BaseDevice::setState(Sptr<BaseState> state)
{
    m_state = state;
    m_progressNumber = 0;
}

void BaseDevice::updateProgressNumber(int progress)
{
    m_progressNumber = progress;
    CPLOG(7, "current progress : %d", progress);
}

void BaseDevice::updateProgressInfo(int n)
{
    if (!m_operator || !m_state || !m_state->isProgress() || m_operator->getProgressNumber() <= 0 ||
        removalReported()) {
        return;
    }
    m_operator->setCurrentPrecent(n);
    Sptr<ProgressInfo> progress(new ProgressInfo(m_state->getName(), m_state->getStateType(),
                                                 m_state->getProgressNumber(), m_operator->getName(),
                                                 m_operator->getProgressNumber(), m_progressNumber, n));
    // The bar keeps what each report added.
    m_progressNumber = progress->getCurrentProgress();
    Sptr<UiEvent> report(new UiEvent(UI_SIG_PROGRESS));
    report->setErrorCode(0);
    report->setDevice(this);
    completeReport(*report, *progress);
    report->setProgressInfo(progress);
    RunAgent::reportToUi(Sptr<BaseEvent>(report));
}

void BaseDevice::lock()
{
    CPLOG(7, "Locking State Object");
    m_stateLock.lock();
}

void BaseDevice::unlock()
{
    CPLOG(7, "UnLocking State Object");
    m_stateLock.unlock();
}

void BaseDevice::completeReport(UiEvent& /*report*/, ProgressInfo& /*progress*/) {}

}  // namespace Tessor::schema
