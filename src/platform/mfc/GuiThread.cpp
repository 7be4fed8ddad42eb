#include "platform/mfc/GuiThread.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "schema/base/Log.h"

namespace Tessor::mfc {

namespace {

std::atomic<bool> g_closed{false};
std::mutex g_askMutex;
std::condition_variable g_askDone;

// The one receiver every hand-over goes through, so the queue keeps order.
QObject* receiver()
{
    static QObject* object = [] {
        auto* o = new QObject();
        o->moveToThread(QCoreApplication::instance()->thread());
        return o;
    }();
    return object;
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
        Tessor::schema::cpLogForced(0, __FILE__, __LINE__, "Widget touched off the GUI thread in %s()", where);
        std::abort();
    }
}

void runOnGui(std::function<void()> work)
{
    if (g_closed.load()) {
        return;
    }
    if (isGuiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(
        receiver(),
        [work = std::move(work)] {
            if (!g_closed.load()) {
                work();
            }
        },
        Qt::QueuedConnection);
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
    QCoreApplication::sendPostedEvents(receiver(), QEvent::MetaCall);
}

}  // namespace Tessor::mfc
