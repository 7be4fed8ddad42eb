// Where the frame firmware draws its screen items: OSD, alarm and battery
// icons, picture number, alarm digits, animation window and the calendar's
// year-month and date, each an X and a Y on the 128 x 128 screen, with two
// previews of the frame's screen. Every change is stored at once, and so is
// every bound a preview sets. UI thread only.
#pragma once

#include <QDateTime>
#include <QImage>
#include <functional>

#include "page/PageConfig.h"
#include "schema/dpf/DpfConfig.h"

class QLabel;
class QSpinBox;

namespace Tessor::page {

class PageDpfPositionSetting : public PageConfig {
public:
    enum : int { IDD = 173, ITEMS = 8 };
    enum Preview { NO_PREVIEW, TIME_PREVIEW, DATE_PREVIEW };

    explicit PageDpfPositionSetting(QWidget* parent = nullptr);

    // The clock the previews show; the local time unless set.
    std::function<QDateTime()> clock;

    // The up-down of an item's X or Y (layout item 0..9).
    QSpinBox* upDown(int item, bool x) const;
    void OnPositionChanged(int item, bool x);
    QImage drawTimePreview();
    QImage drawDatePreview();
    int previewCount(Preview which) const { return which == TIME_PREVIEW ? m_timePreviews : m_datePreviews; }
    const QLabel* preview(Preview which) const { return which == TIME_PREVIEW ? m_timePreview : m_datePreview; }

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;

private:
    void loadPositions();
    int value(int item, bool x) const;
    // Bounds an item's X or Y for a preview and stores what it then shows.
    void bound(int item, bool x, int maximum);

    Sptr<schema::DpfConfig> m_dpfConfig;
    QLabel* m_timePreview = nullptr;
    QLabel* m_datePreview = nullptr;
    int m_timePreviews = 0;
    int m_datePreviews = 0;
};

}  // namespace Tessor::page
