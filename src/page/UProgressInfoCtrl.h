// The progress control of a channel: draws its own bar and one state line.
// Reports and texts may come from any thread; they are handed to the GUI
// thread in order, where the control keeps and paints them.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

#include "platform/mfc/ColorRef.h"
#include "schema/base/Sptr.h"
#include "schema/event/ProgressInfo.h"

namespace Tessor::page {

class UProgressInfoCtrl : public QWidget {
public:
    explicit UProgressInfoCtrl(QWidget* parent = nullptr);

    // Any thread.
    void setProgressInfo(const Sptr<schema::ProgressInfo>& report);
    void setStateText(const QString& text);
    void setEmptyBar(bool empty);
    void setFullBar(bool full);

    // GUI thread.
    const QString& getStateText() const;
    int getCurrent() const;
    int getTotal() const;
    bool isEmptyBar() const;
    bool isFullBar() const;
    // The share of the width the bar fills, as painting draws it.
    double barFraction() const;

    mfc::COLORREF markedColour = 0x780000;
    mfc::COLORREF barColour = 0xDC0000;
    mfc::COLORREF backgroundColour = 0x9A9A9A;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Clicks go on to the page, which tells the channel's parts apart.
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_emptyBar = true;
    bool m_fullBar = false;
    QString m_stateText;
    QString m_errorsWord;
    QFont m_font;
    int m_current = 0;
    int m_total = 1;
};

}  // namespace Tessor::page
