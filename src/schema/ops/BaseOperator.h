// One step of a device state: takes the events of its kind and signal, runs
// its tasks on the device and names the device's next state.
#pragma once

#include <list>
#include <string>

#include "schema/base/Sptr.h"
#include "schema/event/BaseEvent.h"
#include "schema/event/UiSignalType.h"
#include "schema/state/BaseState.h"

namespace Tessor::schema {

class BaseData;
class BaseTask;
class UsbDevice;

class BaseOperator {
public:
    BaseOperator(const std::string& name, int weight);
    virtual ~BaseOperator();
    BaseOperator(const BaseOperator&) = delete;
    BaseOperator& operator=(const BaseOperator&) = delete;

    virtual const char* getName() const { return m_name.c_str(); }
    // The next state, or noState when the event is not taken or is handed on
    // to the next operator of the state.
    virtual Sptr<BaseState> process(Sptr<BaseEvent> event) = 0;
    // Trace line and a report of 10 percent.
    virtual void doCpLog(Sptr<BaseEvent> event);
    // Reports to the UI manager; `event` is not changed.
    virtual void sendUiEvent(Sptr<BaseEvent> event, UiSignalType signal);

    int getProgressNumber() const { return m_weight; }
    int getCurrentPrecent() const { return m_percent; }
    void setCurrentPrecent(int n) { m_percent += n; }
    void resetCurrentPrecent() { m_percent = 0; }

    void updateProgressInfo(Sptr<BaseEvent> event, int percent);
    // Reports what is left up to 100 percent.
    void updateToTotalProcess(Sptr<BaseEvent> event);
    // As updateToTotalProcess, for the operator that ends its state: the bar
    // ends at the state's total, counting the operators the road passed over
    // as done.
    void updateToStateTotal(Sptr<BaseEvent> event);

protected:
    virtual void init() {}

    void addTasks(const Sptr<BaseTask>& task);
    // 1 when a task took `params`, else 0.
    int addTasksParams(const Sptr<BaseData>& params);
    // Failures are left in the event's error code.
    void runTasks(Sptr<BaseEvent> event);
    // Never null: an event without a USB device is a programming error.
    UsbDevice* hasUsbDevice(const Sptr<BaseEvent>& event);
    // Closes the device in the device library and resets the device object.
    void shutdownDevice(Sptr<BaseEvent> event);
    // Hands the event to the device manager under the run agent's root.
    virtual void sendMgrEvent(Sptr<BaseEvent> event);

private:
    std::list<Sptr<BaseTask>> m_tasks;
    std::string m_name;
    int m_weight;
    int m_percent = 0;
};

}  // namespace Tessor::schema
