#include "page/DpfResourceBitmaps.h"

#include <QFont>
#include <QPainter>

namespace Tessor::page {

namespace {

QImage textStrip(QSize cell, const QStringList& texts, int textHeight)
{
    QImage strip(cell.width(), cell.height() * int(texts.size()), QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    QFont font("DejaVu Sans");
    font.setPixelSize(textHeight);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int i = 0; i < texts.size(); ++i) {
        painter.drawText(QRect(0, i * cell.height(), cell.width(), textHeight), Qt::AlignCenter, texts[i]);
    }
    return strip;
}

QStringList digitsAnd(const QString& last)
{
    QStringList texts;
    for (int d = 0; d < 10; ++d) {
        texts << QString::number(d);
    }
    return texts << last;
}

}  // namespace

const QImage& DpfResourceBitmaps::largeDigits()
{
    static const QImage strip = textStrip(LARGE_CELL, digitsAnd(":"), LARGE_CELL.height());
    return strip;
}

const QImage& DpfResourceBitmaps::smallDigits()
{
    static const QImage strip = textStrip(SMALL_CELL, digitsAnd("/"), 16);
    return strip;
}

const QImage& DpfResourceBitmaps::calendar()
{
    static const QImage strip = [] {
        QStringList texts;
        for (int i = 0; i < CALENDAR_CELLS; ++i) {
            texts << QString::number(i < 12 ? i + 1 : i - 12);
        }
        return textStrip(CALENDAR_CELL, texts, 10);
    }();
    return strip;
}

const QImage& DpfResourceBitmaps::icons()
{
    static const QImage strip = [] {
        QImage image(ICON_CELL.width(), ICON_CELL.height() * ICON_CELLS, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        for (int i = 0; i < ICON_CELLS; ++i) {
            const int top = i * ICON_CELL.height();
            if (i == 1) {  // battery
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(1, top + 1, 12, 6);
                painter.fillRect(13, top + 3, 2, 3, Qt::black);
                painter.fillRect(3, top + 3, 7, 3, Qt::black);
            } else if (i == 4) {  // alarm bell
                painter.setBrush(Qt::black);
                painter.drawEllipse(QRect(3, top + 1, 10, 7));
                painter.drawLine(2, top + 8, 13, top + 8);
            } else {
                painter.drawEllipse(QRect(4, top + 1, 7, 7));
            }
        }
        return image;
    }();
    return strip;
}

QImage DpfResourceBitmaps::cell(const QImage& strip, QSize cell, int index, int cut)
{
    return strip.copy(0, index * cell.height(), cell.width(), cell.height() - cut);
}

void DpfResourceBitmaps::drawCells(QPainter& painter, int x, int y, const QString& text, const QImage& strip,
                                   QSize cell, QChar separator, int cut)
{
    for (QChar c : text) {
        const int index = c.isDigit() ? c.digitValue() : (c == separator ? 10 : -1);
        if (index >= 0) {
            painter.drawImage(x, y, DpfResourceBitmaps::cell(strip, cell, index, cut));
        }
        x += cell.width();
    }
}

QImage DpfResourceBitmaps::frameScreen()
{
    QImage screen(128, 128, QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter painter(&screen);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, screen.width() - 1, screen.height() - 1);
    return screen;
}

}  // namespace Tessor::page
