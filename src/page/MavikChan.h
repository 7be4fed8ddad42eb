// One production port as the operator sees it: the port-number button (a
// label, never a command) and the progress control, on the page that owns
// them, with the UI record attached to the port.
#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>

#include "page/UProgressInfoCtrl.h"

namespace Tessor::page {

class PageConfig;
class PortRecord;

class MavikChan {
public:
    MavikChan();
    virtual ~MavikChan();
    MavikChan(const MavikChan&) = delete;
    MavikChan& operator=(const MavikChan&) = delete;

    // The build information of the port's device, or a warning when the
    // port has none.
    void showBuildInfo();

    // Created with the channel; the page's layout gives it its parent.
    QPointer<UProgressInfoCtrl> progress;
    QPointer<QWidget> labelWindow;
    int progressId = -1;
    int labelId = -1;
    // Set on the GUI thread (the login pages pass it on) and read by the UI
    // manager's thread.
    std::atomic<PageConfig*> page{nullptr};
    PortRecord* device = nullptr;
};

}  // namespace Tessor::page
