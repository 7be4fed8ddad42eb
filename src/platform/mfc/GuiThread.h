// Widgets belong to the GUI thread. Work issued on other threads (the UI
// manager's) is handed over through one queue and runs there in the order
// it was handed over.
#pragma once

#include <functional>

class QObject;

namespace Tessor::mfc {

bool isGuiThread();
// Ends the process with a log line when called off the GUI thread.
void assertGuiThread(const char* where);

// Runs `work` at once on the GUI thread, else queues it for the GUI thread.
// Work handed over after closeGui() is dropped.
void runOnGui(std::function<void()> work);
// Runs `work` on the GUI thread and waits for its answer; `fallback` when
// the GUI is closed before or while waiting.
int askOnGui(std::function<int()> work, int fallback);
// Stops the hand-over before the widgets go: pending questions get their
// fallback, later work is dropped.
void closeGui();
// Runs what is queued for the GUI thread so far (GUI thread only).
void drainGui();
// Whether `object` receives the hand-over's wake-ups. Their events come from
// other threads through Qt's queue, which the thread checker cannot see, so
// event filters leave them unread.
bool isGuiWaker(const QObject* object);

}  // namespace Tessor::mfc

#define ASSERT_GUI_THREAD() ::Tessor::mfc::assertGuiThread(__func__)
