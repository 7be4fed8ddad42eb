// The states of one device; hands each event of the device's queue to the
// device's current state.
#pragma once

#include <list>

#include "schema/base/Sptr.h"
#include "schema/event/BaseEvent.h"
#include "schema/state/BaseState.h"

namespace Tessor::schema {

class BaseManager;

class BaseStateMachine {
public:
    explicit BaseStateMachine(BaseManager* parent) : m_parent(parent) {}
    BaseStateMachine(const BaseStateMachine&) = default;
    BaseStateMachine& operator=(const BaseStateMachine&) = default;
    virtual ~BaseStateMachine();

    virtual void process(Sptr<BaseEvent> event);

    void addState(const Sptr<BaseState>& state);
    // The first state added with that type, or noState.
    Sptr<BaseState> findState(int type) const;
    BaseManager* getParent() const { return m_parent; }

private:
    std::list<Sptr<BaseState>> m_states;
    BaseManager* m_parent;
};

}  // namespace Tessor::schema
