#include "schema/base/BaseManager.h"

#include <cstdint>
#include <vector>

#include "platform/orrin/Orrin.h"
#include "schema/base/Assert.h"
#include "schema/base/BaseManagerThread.h"
#include "schema/base/Log.h"

namespace Tessor::schema {

namespace {
unsigned long addressOf(const void* p)
{
    return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(p));
}
}  // namespace

BaseManager::BaseManager(BaseManager* parent, const std::string& name)
    : m_parent(parent), m_name(name), m_queue(new EventQueue())
{
    TESSOR_ASSERT(m_queue);
}

BaseManager::~BaseManager()
{
    // Every manager leaves its parent's list as it goes, or the parent would
    // wait for it for ever.
    if (m_parent != nullptr) {
        m_parent->removeManager(this);
    }
}

void BaseManager::mainLoop(void* arg)
{
    myMainLoop(arg);
    CPLOG(7, "%s waiting event on 0x%lx.....", getName(), addressOf(&m_queue));
    Sptr<BaseEvent> event = m_queue->popWait();
    // An event taken after the stop was asked for is not processed.
    if (event && m_thread && m_thread->getStopFlag()) {
        CPLOG(7, "%s stopping: '%s' dropped", getName(), event->name());
        return;
    }
    if (event) {
        CPLOG(7, "%s Signal '%s' from other thread", getName(), event->name());
        processEvent(event);
    }
}

void BaseManager::reportEvent(const Sptr<BaseEvent>& event)
{
    CPLOG(7, "Add event %s to 0x%lx", event ? event->name() : "", addressOf(&m_queue));
    m_queue->push(event);
}

int BaseManager::startup()
{
    std::vector<BaseManager*> children;
    {
        Threads::Lock guard(m_mutex);
        children.assign(m_children.begin(), m_children.end());
    }
    for (BaseManager* child : children) {
        CPLOG(7, "Device name %s startup", child->getName());
        const int result = child->startup();
        if (result != 0) {
            CPLOG(0, "%s failed to start: %d", child->getName(), result);
            return result;
        }
    }
    return 0;
}

BaseManager* BaseManager::getManager(int index)
{
    Threads::Lock guard(m_mutex);
    if (index < 0 || index > static_cast<int>(m_children.size())) {
        CPLOG(0, "Device Index %d is invalidate", index);
        return nullptr;
    }
    for (BaseManager* child : m_children) {
        if (child->getIndex() == index) {
            CPLOG(7, "Device name %s(index=%d)is found", child->getName(), index);
            return child;
        }
    }
    return nullptr;
}

void BaseManager::removeAllManagers()
{
    CPLOG(7, "%s remove all Managers.....", getName());
    while (destoryOne()) {
        shared_delay(1);
    }
    CPLOG(7, "%s remove all ended!", getName());
}

void BaseManager::addManager(BaseManager* child)
{
    Threads::Lock guard(m_mutex);
    child->setIndex(static_cast<int>(m_children.size()));
    m_children.push_back(child);
}

int BaseManager::getManagerCount()
{
    Threads::Lock guard(m_mutex);
    return static_cast<int>(m_children.size());
}

void BaseManager::removeManager(BaseManager* child)
{
    Threads::Lock guard(m_mutex);
    m_children.remove(child);
    if (m_childStopping == child) {
        m_childStopping = nullptr;
    }
}

bool BaseManager::destoryOne()
{
    BaseManager* child = nullptr;
    {
        // A child in the list is not yet past its destructor's removal, so
        // it may be read here. Once its thread is asked to stop it is only
        // waited for: its tear-down runs once however long it takes to go.
        Threads::Lock guard(m_mutex);
        if (m_children.empty()) {
            return false;
        }
        child = m_children.front();
        if (child == m_childStopping) {
            return true;
        }
        m_childStopping = child;
        if (child->isShutdown()) {
            return true;
        }
    }
    // The child's thread runs until the shutdown below, so the child is alive
    // through its tear-down.
    child->destory();
    CPLOG(7, "Manager name %s removing.....", child->getName());
    child->shutdown();
    return true;
}

void BaseManager::shutdownChildren()
{
    // A child still in the list has not passed its destructor's removal,
    // which waits for this lock: its manager part is alive here.
    Threads::Lock guard(m_mutex);
    for (BaseManager* child : m_children) {
        if (!child->isShutdown()) {
            child->shutdown();
        }
    }
}

void BaseManager::processEvent(const Sptr<BaseEvent>& event)
{
    Sptr<BaseEvent> copy = event;
    myProcessEvent(copy);
}

void BaseManager::execute()
{
    const int result = startup();
    TESSOR_ASSERT(result == 0);
    m_thread = Sptr<BaseManagerThread>(new BaseManagerThread(this));
    const int started = m_thread->run();
    TESSOR_ASSERT(started == 0);
}

void BaseManager::join()
{
    CPLOG(7, "'%s' is join", getName());
    Sptr<BaseManagerThread> thread = m_thread;
    TESSOR_ASSERT(thread);
    const int joined = thread->join();
    TESSOR_ASSERT(joined == 0);
}

void BaseManager::shutdown()
{
    // Once the flag is set the thread may end and destroy this manager at
    // any moment: take what is still needed first.
    Sptr<BaseManagerThread> thread = m_thread;
    Sptr<EventQueue> queue = m_queue;
    TESSOR_ASSERT(thread);
    TESSOR_ASSERT(queue);
    thread->setStopFlag();
    queue->push(Sptr<BaseEvent>());
}

bool BaseManager::isShutdown()
{
    TESSOR_ASSERT(m_thread);
    return m_thread->getStopFlag();
}

void BaseManager::setBaseStateMachine(const Sptr<BaseStateMachine>& machine)
{
    m_stateMachine = machine;
}

}  // namespace Tessor::schema
