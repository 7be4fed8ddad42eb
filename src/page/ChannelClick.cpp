#include "page/ChannelClick.h"

#include <QMouseEvent>
#include <QWidget>

#include "page/MavikChan.h"
#include "page/PortRecord.h"
#include "page/PortStates.h"

namespace Tessor::page {

bool startsOnClick(int state)
{
    return state == UI_READY || state == UI_STOPPED || state == UI_FAILED || state == UI_BUILT;
}

bool clickChannel(MavikChan& channel, const QWidget& page, const QMouseEvent& event)
{
    PortRecord* record = channel.device;
    QWidget* button = channel.labelWindow;
    if (record == nullptr || button == nullptr) {
        return false;
    }
    const QPoint at = button->mapFrom(&page, event.position().toPoint());
    if (!button->rect().contains(at)) {
        return false;
    }
    if (event.button() == Qt::LeftButton && startsOnClick(record->getState())) {
        record->setState(UI_PRODUCING, Sptr<schema::UiEvent>());
        record->sendToDevice(schema::UI_SIG_START, Sptr<schema::UiEvent>());
    } else if (event.button() == Qt::RightButton) {
        record->btnRightClick();
    }
    return true;
}

}  // namespace Tessor::page
