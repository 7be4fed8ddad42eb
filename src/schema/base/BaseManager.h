// A named unit of concurrency: its own event queue and, once started, its own
// thread that hands each event to `myProcessEvent`. Managers form a tree.
#pragma once

#include <list>
#include <string>

#include "schema/base/Mutex.h"
#include "schema/base/Sptr.h"
#include "schema/event/BaseEvent.h"

namespace Tessor::schema {

class BaseManagerThread;
class BaseStateMachine;

class BaseManager {
public:
    // Does not add itself to `parent`: the creator calls addManager.
    BaseManager(BaseManager* parent, const std::string& name);
    virtual ~BaseManager();
    BaseManager(const BaseManager&) = delete;
    BaseManager& operator=(const BaseManager&) = delete;

    // Own tear-down, run once by the parent before this thread is stopped.
    virtual void destory() {}
    // One pass of the thread loop: waits for an event and processes it.
    virtual void mainLoop(void* arg);
    // Posts an event to this manager's queue; safe from any thread.
    virtual void reportEvent(const Sptr<BaseEvent>& event);
    // Starts the children; 0 on success.
    [[nodiscard]] virtual int startup();
    // The child added at `index`, or null.
    virtual BaseManager* getManager(int index);
    // Stops the children first to last and returns once all have ended.
    virtual void removeAllManagers();
    virtual void addManager(BaseManager* child);
    virtual void myMainLoop(void* /*arg*/) {}
    virtual void myProcessEvent(const Sptr<BaseEvent>& /*event*/) {}

    const char* getName() const { return m_name.c_str(); }
    BaseManager* getParent() const { return m_parent; }
    int getIndex() const { return m_index; }
    void setIndex(int index) { m_index = index; }
    int getManagerCount();
    void removeManager(BaseManager* child);
    // Starts stopping the first child; false when there is none left.
    bool destoryOne();
    // Asks every child's thread to end at once, so their current passes wind
    // down together rather than one after another.
    void shutdownChildren();
    void processEvent(const Sptr<BaseEvent>& event);
    // Runs startup and then this manager's own thread, which owns the
    // manager from then on: it is destroyed when its thread ends.
    void execute();
    // Waits for the thread to end; the caller must know the manager is alive.
    void join();
    // Asks the thread to end after the event it is processing.
    void shutdown();
    bool isShutdown();
    Sptr<EventQueue> getQueue() const { return m_queue; }
    Sptr<BaseStateMachine> getBaseStateMachine() const { return m_stateMachine; }
    // Takes ownership of `machine`; the one already held is kept as is.
    void setBaseStateMachine(const Sptr<BaseStateMachine>& machine);

private:
    // Guards the child list against children that leave it from their own
    // threads while the parent walks it.
    Threads::Mutex m_mutex;
    BaseManager* m_parent;
    std::string m_name;
    std::list<BaseManager*> m_children;
    int m_index = 0;
    Sptr<EventQueue> m_queue;
    Sptr<BaseManagerThread> m_thread;
    Sptr<BaseStateMachine> m_stateMachine;
    // The child whose tear-down has run while it winds down.
    BaseManager* m_childStopping = nullptr;
};

}  // namespace Tessor::schema
