#include "page/PageDpfPositionSetting.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>

#include "page/DpfResourceBitmaps.h"
#include "page/PositionBounds.h"
#include "platform/mfc/UpDownEdit.h"
#include "platform/pelt/DeviceImage.h"
#include "utils/DpfImage.h"

namespace Tessor::page {

namespace {

struct ItemRow {
    const char* caption;
    int item;  // layout item
    int xEdit, xUpDown, xMaximum;
    int yEdit, yUpDown, yMaximum;
    PageDpfPositionSetting::Preview preview;
};

// In the order the positions are loaded.
const ItemRow kItems[PageDpfPositionSetting::ITEMS] = {
    {"电池图标位置配置", 2, 1281, 1282, 127, 1284, 1285, 127, PageDpfPositionSetting::TIME_PREVIEW},
    {"OSD图标位置配置", 0, 1287, 1038, 127, 1289, 1039, 127, PageDpfPositionSetting::NO_PREVIEW},
    {"闹钟数字显示位置", 6, 1015, 1040, 127, 1016, 1041, 127, PageDpfPositionSetting::TIME_PREVIEW},
    {"闹钟图标显示位置", 1, 1017, 1042, 127, 1018, 1043, 127, PageDpfPositionSetting::TIME_PREVIEW},
    {"万年历年月显示位置", 8, 1021, 1046, 45, 1022, 1047, 22, PageDpfPositionSetting::DATE_PREVIEW},
    {"图片数字显示位置", 3, 1019, 1044, 112, 1020, 1045, 120, PageDpfPositionSetting::TIME_PREVIEW},
    {"万年历日期显示位置", 9, 1023, 1048, 112, 1024, 1049, 120, PageDpfPositionSetting::DATE_PREVIEW},
    {"动画窗口显示位置", 7, 1025, 1050, 64, 1026, 1051, 100, PageDpfPositionSetting::NO_PREVIEW},
};

const ItemRow& rowOf(int item)
{
    for (const ItemRow& row : kItems) {
        if (row.item == item) {
            return row;
        }
    }
    return kItems[0];
}

const char kPictureNumber[] = "100/100";

}  // namespace

PageDpfPositionSetting::PageDpfPositionSetting(QWidget* parent) : PageConfig("DpfPositionSettingTab", parent)
{
    clock = [] { return QDateTime::currentDateTime(); };
    auto* layout = new QGridLayout(this);
    int index = 0;
    for (const ItemRow& row : kItems) {
        auto* box = new QGroupBox(QString::fromUtf8(row.caption), this);
        auto* boxLayout = new QGridLayout(box);
        for (const bool x : {true, false}) {
            auto* upDown = new mfc::UpDownEdit(box);
            upDown->setRange(0, 127);
            addControl(x ? row.xUpDown : row.yUpDown, upDown);
            addControl(x ? row.xEdit : row.yEdit, upDown);
            boxLayout->addWidget(new QLabel(QString::fromUtf8(x ? "图标X坐标:" : "图标Y坐标:"), box), x ? 0 : 1, 0);
            boxLayout->addWidget(upDown, x ? 0 : 1, 1);
            const int item = row.item;
            connect(upDown, &QSpinBox::valueChanged, this, [this, item, x] { OnPositionChanged(item, x); });
        }
        layout->addWidget(box, index % 4, 1 + index / 4);
        ++index;
    }
    m_timePreview = new QLabel(this);
    m_datePreview = new QLabel(this);
    for (QLabel* preview : {m_timePreview, m_datePreview}) {
        preview->setFixedSize(pelt::DPF_SCREEN_SIZE, pelt::DPF_SCREEN_SIZE);
    }
    layout->addWidget(m_timePreview, 0, 0, 2, 1);
    layout->addWidget(m_datePreview, 2, 0, 2, 1);
}

QSpinBox* PageDpfPositionSetting::upDown(int item, bool x) const
{
    const ItemRow& row = rowOf(item);
    return static_cast<QSpinBox*>(GetDlgItem(x ? row.xUpDown : row.yUpDown));
}

int PageDpfPositionSetting::value(int item, bool x) const { return upDown(item, x)->value(); }

bool PageDpfPositionSetting::OnInitDialog()
{
    loadPositions();
    return true;
}

void PageDpfPositionSetting::loadPositions()
{
    m_dpfConfig = holder->getConfigInfo()->getDpfConfig();
    for (const ItemRow& row : kItems) {
        schema::ItemCoordinate* at = m_dpfConfig->getCoordinate(row.item);
        for (const bool x : {true, false}) {
            QSpinBox* box = upDown(row.item, x);
            int32_t& field = x ? at->Left : at->Top;
            const QSignalBlocker quiet(box);
            box->setRange(0, x ? row.xMaximum : row.yMaximum);
            box->setValue(static_cast<int16_t>(field));
            // Stored as the range allows it, as the buddy's change would;
            // the previews bound it further and store it again.
            field = box->value();
        }
    }
}

void PageDpfPositionSetting::showEvent(QShowEvent* event)
{
    PageConfig::showEvent(event);
    m_datePreview->setPixmap(QPixmap::fromImage(drawDatePreview()));
    m_timePreview->setPixmap(QPixmap::fromImage(drawTimePreview()));
    if (window() != this) {
        window()->resize(850, 635);
    }
}

void PageDpfPositionSetting::OnPositionChanged(int item, bool x)
{
    if (!m_dpfConfig) {
        return;
    }
    const ItemRow& row = rowOf(item);
    if (row.preview == TIME_PREVIEW && isVisible()) {
        m_timePreview->setPixmap(QPixmap::fromImage(drawTimePreview()));
    } else if (row.preview == DATE_PREVIEW && isVisible()) {
        m_datePreview->setPixmap(QPixmap::fromImage(drawDatePreview()));
    }
    const auto edit = schema::DpfConfig::lockEdits();
    schema::ItemCoordinate* at = m_dpfConfig->getCoordinate(item);
    (x ? at->Left : at->Top) = value(item, x);
}

void PageDpfPositionSetting::bound(int item, bool x, int maximum)
{
    schema::ItemCoordinate* at = m_dpfConfig->getCoordinate(item);
    boundPosition(upDown(item, x), maximum, x ? at->Left : at->Top);
}

// Each preview first bounds its items to the screen, then draws them where
// they now are.
QImage PageDpfPositionSetting::drawTimePreview()
{
    ++m_timePreviews;
    using R = DpfResourceBitmaps;
    const QSize number = QFontMetrics(font()).size(0, kPictureNumber);
    const int iconRows = R::ICON_CELL.height() - 7;
    bound(3, true, 126 - number.width());
    bound(3, false, 126 - number.height());
    bound(2, true, 126 - R::ICON_CELL.width());
    bound(2, false, 133 - R::ICON_CELL.height());
    bound(6, true, 126 - 5 * R::LARGE_CELL.width());
    bound(6, false, 126 - R::LARGE_CELL.height());
    bound(1, true, 126 - R::ICON_CELL.width());
    bound(1, false, 126 - iconRows);
    QImage screen = R::frameScreen();
    QPainter painter(&screen);
    painter.setFont(font());
    painter.drawText(QRect(QPoint(value(3, true), value(3, false)), number), kPictureNumber);
    painter.drawImage(value(2, true), value(2, false), R::cell(R::icons(), R::ICON_CELL, 1, 7));
    painter.drawImage(value(1, true), value(1, false), R::cell(R::icons(), R::ICON_CELL, 4, 7));
    R::drawCells(painter, value(6, true), value(6, false), clock().toString("HH:mm"), R::largeDigits(), R::LARGE_CELL,
                 ':');
    return screen;
}

QImage PageDpfPositionSetting::drawDatePreview()
{
    ++m_datePreviews;
    using R = DpfResourceBitmaps;
    const QString date = clock().date().toString("yyyy/MM/dd");
    bound(8, true, 7 * (18 - R::CALENDAR_CELL.width()));
    bound(8, false, 106 - 5 * R::CALENDAR_CELL.height());
    bound(9, true, 126 - static_cast<int>(date.size()) * R::SMALL_CELL.width());
    // Small digits are drawn in the top 16 rows of their cells.
    bound(9, false, 128 - 16);
    QImage screen = R::frameScreen();
    QPainter painter(&screen);
    const QDate today = clock().date();
    // Year-month: the month's cell, then the year's.
    painter.drawImage(value(8, true), value(8, false), R::cell(R::calendar(), R::CALENDAR_CELL, today.month() - 1));
    painter.drawImage(value(8, true) + R::CALENDAR_CELL.width(), value(8, false),
                      R::cell(R::calendar(), R::CALENDAR_CELL, 12 + (today.year() - 2000) % 20));
    R::drawCells(painter, value(9, true), value(9, false), date, R::smallDigits(), R::SMALL_CELL, '/');
    return screen;
}

}  // namespace Tessor::page
