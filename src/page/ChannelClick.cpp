#include "page/ChannelClick.h"

#include <QMouseEvent>
#include <QWidget>

#include "page/MavikChan.h"
#include "shell/DeviceTexts.h"
#include "shell/MavikDevice.h"

namespace Tessor::page {

bool startsOnClick(int state)
{
    return state == shell::UI_READY || state == shell::UI_STOPPED || state == shell::UI_FAILED ||
           state == shell::UI_BUILT;
}

bool clickChannel(MavikChan& channel, const QWidget& page, const QMouseEvent& event)
{
    shell::MavikDevice* record = channel.device;
    QWidget* button = channel.labelWindow;
    if (record == nullptr || button == nullptr) {
        return false;
    }
    const QPoint at = button->mapFrom(&page, event.position().toPoint());
    if (!button->rect().contains(at)) {
        return false;
    }
    if (event.button() == Qt::LeftButton && startsOnClick(record->getState())) {
        record->setState(shell::UI_PRODUCING, Sptr<schema::UiEvent>());
        record->sendToDevice(schema::UI_SIG_START, Sptr<schema::UiEvent>());
    } else if (event.button() == Qt::RightButton) {
        record->btnRightClick();
    }
    return true;
}

}  // namespace Tessor::page
