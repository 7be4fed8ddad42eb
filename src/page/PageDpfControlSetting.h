// The photo frame's advanced settings: on/off switches and option choices,
// the start-up screen and boot animation values, the digital clock's time
// and date positions with a live preview, the main menu's shown entries and
// key order, and the logo, boot-animation and preset photo pictures
// converted into device pictures. Everything goes straight into the
// photo-frame settings of the current run settings. UI thread only.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "page/DpfMenuEditor.h"
#include "page/PageConfig.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSlider;
class QSpinBox;

namespace Tessor::page {

class PageDpfControlSetting : public PageConfig {
public:
    enum : int {
        IDD = 172,
        IDC_DATE_MODE = 1243,
        IDC_LANGUAGE = 1237,
        IDC_STOPWATCH = 1241,
        IDC_KEY_PIN = 1245,
        IDC_STARTUP = 1264,
        IDC_MOVIE_LEN_SLIDER = 1049,
        IDC_LOGO_TIME_SLIDER = 1267,
        IDC_TIME_X = 1273,  // up-downs of the clock positions
        IDC_TIME_Y = 1276,
        IDC_DATE_X = 1278,
        IDC_DATE_Y = 1038,
        IDC_MAIN_MENU = 1070,
        IDC_MAIN_ORDER = 1071,
        IDC_MAIN_EXIT = 1286,
        IDC_LOGO_PATH = 1268,
        IDC_LOGO_BROWSE = 1014,
        IDC_MOVIE_PATH = 1270,
        IDC_MOVIE_BROWSE = 1269,
        IDC_PHOTO_PATH = 1280,
        IDC_PHOTO_BROWSE = 1281,
    };
    static constexpr int SWITCHES = 8;
    static constexpr std::array<int, SWITCHES> IDC_SWITCH = {1261, 1008, 1007, 1262, 1009, 1011, 1010, 1036};

    explicit PageDpfControlSetting(QWidget* parent = nullptr);

    // The clock the preview shows; the local time unless set.
    std::function<QDateTime()> clock;
    // The folder chosen for the animation or photos; empty when cancelled.
    // The folder-choice dialog unless set.
    std::function<QString()> chooseFolder;

    // Handlers, as the controls raise them.
    void OnSwitchClicked(int index);
    void OnComboChanged(int id);
    void OnSliderMoved(int id);
    void OnPositionChanged(int id);
    void OnClbnChkchangeMainMenu();
    void OnLbnKillfocusMainOrder();
    void OnCbnSelchangeMainExit();
    void OnBnClickedBrowseLogo();
    void OnBnClickedBrowseMovieFolder();
    void OnBnClickedBrowsePhotoFolder();

    // The frame screen of the preview with the time and date at the positions.
    QImage drawClockPreview(int dateX, int dateY, int timeX, int timeY);
    QSpinBox* upDown(int id) const;
    QListWidget* mainOrder() const { return m_order; }
    QListWidget* mainChecks() const { return m_checks; }
    int previewCount() const { return m_previews; }
    Sptr<schema::DpfConfig> dpfConfig() const { return m_dpfConfig; }

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void refreshPreview();
    // Converts the pictures of `folder` (".jpg", ".bmp", ".gif") into
    // `target`, at most `limit` of them, and lists them for the devices.
    void fillFolder(const QString& folder, const char* target, int limit, schema::FILE_TYPE_T kind);
    std::string workPath(const std::string& relative) const;

    Sptr<schema::DpfConfig> m_dpfConfig;
    std::unique_ptr<DpfMenuEditor> m_mainMenu;
    QListWidget* m_checks = nullptr;
    QListWidget* m_order = nullptr;
    QLabel* m_preview = nullptr;
    bool m_filling = false;
    int m_previews = 0;
};

}  // namespace Tessor::page
