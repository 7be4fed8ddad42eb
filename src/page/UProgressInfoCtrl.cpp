#include "page/UProgressInfoCtrl.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "page/ChannelText.h"
#include "page/NarrowFont.h"
#include "platform/mfc/GuiThread.h"
#include "schema/base/UsbConfiguration.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using utils::MavikLang;

namespace {

const QPoint TEXT_ORIGIN(3, 3);
const mfc::COLORREF RED = 0x0000FF;
constexpr int FONT_CELL_HEIGHT = 15;

bool factoryMode()
{
    return schema::UsbConfiguration::instance()->getCurrentFunction() == schema::FUNCTION_FACTORY;
}

// Runs `change` on the control on the GUI thread, unless it is gone by then.
template <typename Change>
void onControl(UProgressInfoCtrl* control, Change change)
{
    QPointer<UProgressInfoCtrl> guard(control);
    mfc::runOnGui([guard, change] {
        if (guard) {
            change(*guard);
        }
    });
}

}  // namespace

UProgressInfoCtrl::UProgressInfoCtrl(QWidget* parent) : QWidget(parent)
{
    ASSERT_GUI_THREAD();
    m_errorsWord = MavikLang::text("errors");
    m_font.setFamilies({"DejaVu Sans Mono", "WenQuanYi Micro Hei"});
    m_font.setWeight(QFont::Light);
    m_font.setStretch(QFont::Unstretched);
    // The line is drawn in a font whose whole cell is 15 pixels high.
    for (int size = 15; size > 8; --size) {
        m_font.setPixelSize(size);
        if (QFontMetrics(m_font).height() <= FONT_CELL_HEIGHT) {
            break;
        }
    }
}

void UProgressInfoCtrl::setProgressInfo(const Sptr<schema::ProgressInfo>& report)
{
    const int value = mapProgress(report->getStateId(), report->getCurrentProgress(), report->getTotalProgress());
    const QString text = progressStateText(*report, value);
    onControl(this, [value, text](UProgressInfoCtrl& control) {
        control.m_current = value;
        control.m_total = 100;
        control.m_stateText = text;
        control.update();
    });
}

void UProgressInfoCtrl::setStateText(const QString& text)
{
    onControl(this, [text](UProgressInfoCtrl& control) {
        control.m_stateText = text;
        control.update();
    });
}

void UProgressInfoCtrl::setEmptyBar(bool empty)
{
    onControl(this, [empty](UProgressInfoCtrl& control) {
        control.m_emptyBar = empty;
        control.update();
    });
}

void UProgressInfoCtrl::setFullBar(bool full)
{
    onControl(this, [full](UProgressInfoCtrl& control) {
        control.m_fullBar = full;
        control.update();
    });
}

const QString& UProgressInfoCtrl::getStateText() const
{
    ASSERT_GUI_THREAD();
    return m_stateText;
}

int UProgressInfoCtrl::getCurrent() const
{
    ASSERT_GUI_THREAD();
    return m_current;
}

int UProgressInfoCtrl::getTotal() const
{
    ASSERT_GUI_THREAD();
    return m_total;
}

bool UProgressInfoCtrl::isEmptyBar() const
{
    ASSERT_GUI_THREAD();
    return m_emptyBar;
}

bool UProgressInfoCtrl::isFullBar() const
{
    ASSERT_GUI_THREAD();
    return m_fullBar;
}

double UProgressInfoCtrl::barFraction() const
{
    ASSERT_GUI_THREAD();
    double fraction = m_total > 0 ? static_cast<double>(m_current) / m_total : 0.0;
    if (factoryMode()) {
        if (m_emptyBar) {
            fraction = 0.0;
        }
        if (m_fullBar) {
            fraction = 1.0;
        }
    }
    return std::clamp(fraction, 0.0, 1.0);
}

void UProgressInfoCtrl::paintEvent(QPaintEvent* /*event*/)
{
    ASSERT_GUI_THREAD();
    QPainter painter(this);
    const QRect client = rect();
    painter.fillRect(client, mfc::fromColorRef(backgroundColour));
    const int barWidth = static_cast<int>(client.width() * barFraction());
    painter.fillRect(QRect(client.left(), client.top(), barWidth, client.height()), mfc::fromColorRef(barColour));
    if (m_stateText.isEmpty()) {
        return;
    }
    // A line longer than the control is drawn narrower, so it shows whole.
    painter.setFont(narrowToFit(m_font, m_stateText, client.width() - 2 * TEXT_ORIGIN.x()));
    const QFontMetrics metrics = painter.fontMetrics();
    const QPoint baseline = TEXT_ORIGIN + QPoint(0, metrics.ascent());
    if (!m_errorsWord.isEmpty() && m_stateText.contains(m_errorsWord)) {
        painter.setPen(mfc::fromColorRef(RED));
        painter.drawText(baseline, m_stateText);
        return;
    }
    painter.setPen(Qt::black);
    painter.drawText(baseline, m_stateText);
    const auto ranges =
        colouredRanges(m_stateText, MavikLang::text("has been formatted"), MavikLang::text("do not format"));
    for (const ColouredRange& range : ranges) {
        const int x = metrics.horizontalAdvance(m_stateText.left(range.start));
        painter.setPen(mfc::fromColorRef(range.colour == TextColour::Red ? RED : markedColour));
        painter.drawText(baseline + QPoint(x, 0), m_stateText.mid(range.start, range.length));
    }
}

void UProgressInfoCtrl::mousePressEvent(QMouseEvent* event) { event->ignore(); }

}  // namespace Tessor::page
