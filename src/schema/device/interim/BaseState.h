#pragma once

#include <list>
#include <string>

#include "schema/base/Sptr.h"
#include "schema/device/interim/BaseOperator.h"

namespace Tessor::schema {
class BaseEvent;
}

namespace Tessor::interim {

// A named, typed state whose progress total is the sum of its operators'
// weights. It handles no event yet.
class BaseState {
public:
    BaseState(const std::string& name, int type, bool progress) : m_name(name), m_type(type), m_progress(progress) {}
    virtual ~BaseState() = default;

    virtual Sptr<BaseState> process(Sptr<schema::BaseEvent> /*event*/) { return Sptr<BaseState>(); }
    int getStateType() const { return m_type; }
    const char* getName() const { return m_name.c_str(); }
    bool isProgress() const { return m_progress; }
    int getProgressNumber() const { return m_progressNumber; }
    void addOperator(Sptr<BaseOperator> op)
    {
        m_progressNumber += op->getProgressNumber();
        m_operators.push_back(op);
    }

private:
    std::list<Sptr<BaseOperator>> m_operators;
    std::string m_name;
    int m_type;
    bool m_progress;
    int m_progressNumber = 0;
};

}  // namespace Tessor::interim
