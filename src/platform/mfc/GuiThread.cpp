#include "platform/mfc/GuiThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/orrin/PlatformLog.h"

namespace Tessor::mfc {

namespace {

std::atomic<bool> g_closed{false};
std::mutex g_askMutex;
std::condition_variable g_askDone;
// The one queue of work for the GUI thread, first in first out.
std::mutex g_queueMutex;
std::deque<std::function<void()>> g_queue;

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
void handedOver(void* address) { __tsan_release(address); }
void takenOver(void* address) { __tsan_acquire(address); }
#else
void handedOver(void*) {}
void takenOver(void*) {}
#endif

void runQueued();

// Wakes the GUI thread to run the queue. Qt's event queue synchronises in
// code the thread checker does not see, so the hand-over of each wake-up
// event is told to it.
class Waker : public QObject {
public:
    bool event(QEvent* event) override
    {
        takenOver(event);
        if (event->type() != QEvent::User) {
            return QObject::event(event);
        }
        runQueued();
        return true;
    }

    void wake()
    {
        auto* event = new QEvent(QEvent::User);
        handedOver(event);
        QCoreApplication::postEvent(this, event);
    }
};

Waker* waker()
{
    static Waker* object = [] {
        auto* o = new Waker();
        o->moveToThread(QCoreApplication::instance()->thread());
        return o;
    }();
    return object;
}

void runQueued()
{
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard<std::mutex> lock(g_queueMutex);
            if (g_queue.empty()) {
                return;
            }
            work = std::move(g_queue.front());
            g_queue.pop_front();
        }
        if (!g_closed.load()) {
            work();
        }
    }
}

}  // namespace

bool isGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

void assertGuiThread(const char* where)
{
    if (!isGuiThread()) {
        Tessor::platform::logLine(0, __FILE__, __LINE__, "Widget touched off the GUI thread in %s()", where);
        std::abort();
    }
}

void runOnGui(std::function<void()> work)
{
    if (g_closed.load()) {
        return;
    }
    if (isGuiThread()) {
        // What other threads handed over earlier comes first.
        runQueued();
        work();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(g_queueMutex);
        g_queue.push_back(std::move(work));
    }
    waker()->wake();
}

int askOnGui(std::function<int()> work, int fallback)
{
    if (g_closed.load()) {
        return fallback;
    }
    if (isGuiThread()) {
        return work();
    }
    struct Answer {
        bool done = false;
        int value = 0;
    };
    auto answer = std::make_shared<Answer>();
    answer->value = fallback;
    runOnGui([answer, work = std::move(work)] {
        const int value = work();
        std::lock_guard<std::mutex> lock(g_askMutex);
        answer->value = value;
        answer->done = true;
        g_askDone.notify_all();
    });
    std::unique_lock<std::mutex> lock(g_askMutex);
    g_askDone.wait(lock, [&] { return answer->done || g_closed.load(); });
    return answer->done ? answer->value : fallback;
}

void closeGui()
{
    std::lock_guard<std::mutex> lock(g_askMutex);
    g_closed.store(true);
    g_askDone.notify_all();
}

void drainGui()
{
    ASSERT_GUI_THREAD();
    runQueued();
}

bool isGuiWaker(const QObject* object) { return object == waker(); }

}  // namespace Tessor::mfc
