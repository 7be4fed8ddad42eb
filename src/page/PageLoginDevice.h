// The login wizard of login mode, page 1: waits until the plugged disk is
// ready, then lets the operator go on to the password.
#pragma once

#include "page/MavikChan.h"
#include "page/PageSetting.h"

class QMouseEvent;

namespace Tessor::page {

class PageLoginDevice : public PageSetting {
public:
    enum : int { IDD = 164, IDC_PROGRESS = 1217, IDC_PORT_BUTTON = 1014, IDC_DETECTING = 1216 };

    explicit PageLoginDevice(QWidget* parent = nullptr);

    MavikChan* getChannel(int index) override;
    void onDeviceStateShown() override;
    bool OnSetActive() override;
    int OnWizardNext() override;

    // The UI state of the device record; 0 without one.
    int deviceState();

protected:
    bool OnInitDialog() override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    MavikChan m_channel;
};

}  // namespace Tessor::page
