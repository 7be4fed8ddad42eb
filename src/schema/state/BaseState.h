// One state of a device: the operators it offers every event to, in order,
// and those it runs when it is entered or left.
#pragma once

#include <list>
#include <string>

#include "schema/base/Sptr.h"
#include "schema/event/BaseEvent.h"

namespace Tessor::schema {

class BaseOperator;

class BaseState {
public:
    BaseState(const std::string& name, int type, bool progress);
    virtual ~BaseState();
    BaseState(const BaseState&) = delete;
    BaseState& operator=(const BaseState&) = delete;

    // One pass over the operators: the next state, noState to stay, or
    // downState when the device thread is stopping.
    virtual Sptr<BaseState> process(Sptr<BaseEvent> event);
    virtual int getStateType() const { return m_type; }
    virtual const char* getName() const { return m_name.c_str(); }
    virtual void processEntry(Sptr<BaseEvent> event);
    virtual void processExit(Sptr<BaseEvent> event);
    // Takes this state's operators from the production side's table.
    virtual void initState();

    bool isProgress() const { return m_progress; }
    int getProgressNumber() const { return m_progressNumber; }

protected:
    void addOperator(const Sptr<BaseOperator>& op);
    void addEntryOperator(const Sptr<BaseOperator>& op);
    void addExitOperator(const Sptr<BaseOperator>& op);
    void clearAll();

private:
    typedef std::list<Sptr<BaseOperator>> OperatorList;

    void helperAdd(OperatorList& list, const Sptr<BaseOperator>& op);
    // Each run in a state reports its operators' progress from zero.
    void restartPercents();
    // Entry and exit operators: results are not used.
    void runAll(OperatorList& list, const Sptr<BaseEvent>& event);

    OperatorList m_entryOperators;
    OperatorList m_operators;
    OperatorList m_exitOperators;
    std::string m_name;
    int m_type;
    bool m_progress;
    int m_progressNumber = 0;
};

// Operator and pass results: noState (empty) hands the event on or stays,
// downState stops offering it.
extern const Sptr<BaseState> noState;
extern const Sptr<BaseState> downState;

constexpr int DOWN_STATE_TYPE = 0x1000;

}  // namespace Tessor::schema
