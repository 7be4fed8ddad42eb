// The Qt application of a test program (offscreen), and waiting for what
// other threads hand to the GUI thread.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <chrono>

#include "platform/mfc/GuiThread.h"
#include "support/Waits.h"

namespace test_support {

inline QApplication& qtApp()
{
    static int argc = 1;
    static char name[] = "tessor-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs the GUI thread's queue until `done` holds; false after `limit`.
template <typename Done>
bool waitOnGui(Done done, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const auto runQueued = [] {
        QCoreApplication::processEvents();
        Tessor::mfc::drainGui();
    };
    if (!waitUntil(
            [&] {
                runQueued();
                return done();
            },
            limit)) {
        return false;
    }
    // What the other threads queued for the GUI before the condition held is
    // run too, as an operator's next event would find it.
    runQueued();
    return true;
}

}  // namespace test_support
