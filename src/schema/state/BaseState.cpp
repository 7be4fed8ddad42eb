#include "schema/state/BaseState.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/device/BaseDevice.h"
#include "schema/ops/BaseOperator.h"
#include "schema/state/StateOperators.h"

namespace Tessor::schema {

const Sptr<BaseState> noState;
const Sptr<BaseState> downState(new BaseState("DOWN_STATE", DOWN_STATE_TYPE, false));

BaseState::BaseState(const std::string& name, int type, bool progress)
    : m_name(name), m_type(type), m_progress(progress)
{
}

BaseState::~BaseState() { clearAll(); }

Sptr<BaseState> BaseState::process(Sptr<BaseEvent> event)
{
    TESSOR_ASSERT(event);
    BaseDevice* device = event->getDevice();
    TESSOR_ASSERT(device != nullptr);
    Sptr<BaseState> current = device->getState();
    TESSOR_ASSERT(current);
    if (current.get() != this) {
        CPLOG(7, "******************************CONTINUE");
        return noState;
    }
    Sptr<BaseState> next = noState;
    for (const Sptr<BaseOperator>& op : m_operators) {
        CPLOG(7, "Processing operator (%s)", op->getName());
        device->setOperator(op);
        Sptr<BaseState> result = op->process(event);
        if (device->isShutdown()) {
            CPLOG(7, "%s will exit from State's operators", device->getName());
            return downState;
        }
        if (result == downState) {
            CPLOG(7, "***** Done with Event ***");
            break;
        }
        if (result) {
            next = result;
            break;
        }
    }
    if (next) {
        processExit(event);
        device->setState(next);
        next->restartPercents();
        next->processEntry(event);
    }
    CPLOG(7, "Done with state (%s)", getName());
    return next;
}

void BaseState::initState()
{
    for (const Sptr<BaseOperator>& op : StateOperators::make(m_type, StateOperators::ENTRY)) {
        addEntryOperator(op);
    }
    for (const Sptr<BaseOperator>& op : StateOperators::make(m_type, StateOperators::PASS)) {
        addOperator(op);
    }
}

void BaseState::processEntry(Sptr<BaseEvent> event) { runAll(m_entryOperators, event); }

void BaseState::processExit(Sptr<BaseEvent> event) { runAll(m_exitOperators, event); }

void BaseState::runAll(OperatorList& list, const Sptr<BaseEvent>& event)
{
    BaseDevice* device = event->getDevice();
    for (const Sptr<BaseOperator>& op : list) {
        if (device->getOperator() != op) {
            device->setOperator(op);
        }
        op->process(event);
    }
}

void BaseState::restartPercents()
{
    for (OperatorList* list : {&m_entryOperators, &m_operators, &m_exitOperators}) {
        for (const Sptr<BaseOperator>& op : *list) {
            op->resetCurrentPrecent();
        }
    }
}

void BaseState::addOperator(const Sptr<BaseOperator>& op) { helperAdd(m_operators, op); }

void BaseState::addEntryOperator(const Sptr<BaseOperator>& op) { helperAdd(m_entryOperators, op); }

void BaseState::addExitOperator(const Sptr<BaseOperator>& op) { helperAdd(m_exitOperators, op); }

void BaseState::helperAdd(OperatorList& list, const Sptr<BaseOperator>& op)
{
    TESSOR_ASSERT(op);
    list.push_back(op);
    m_progressNumber += op->getProgressNumber();
    TESSOR_ASSERT(!list.empty());
}

void BaseState::clearAll()
{
    m_entryOperators.clear();
    m_exitOperators.clear();
    m_operators.clear();
}

}  // namespace Tessor::schema
