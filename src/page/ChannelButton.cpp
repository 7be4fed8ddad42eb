#include "page/ChannelButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include "page/NarrowFont.h"

namespace Tessor::page {

ChannelButton::ChannelButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void ChannelButton::paintEvent(QPaintEvent* /*event*/)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    // The style's own margin around a button's text.
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    const QFont font = narrowToFit(this->font(), option.text, room.width() - margin);
    QStylePainter painter(this);
    painter.setFont(font);
    option.fontMetrics = QFontMetrics(font);
    painter.drawControl(QStyle::CE_PushButton, option);
}

}  // namespace Tessor::page
