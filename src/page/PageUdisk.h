// The production-settings page of factory mode: flash selection, scan and
// format options, product strings, the serial-number scheme and the
// partitions of the next run. Apply gives every port a copy of the edited
// settings, Save also stores them as the defaults. It stands for the
// production page towards the UI manager, and its hot keys add and remove
// the flash-chip table page and the MP3 page.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "page/PageSetting.h"

class QLineEdit;

namespace Tessor::page {

class CFlashConfigPage;
class PageMp3Setting;
class PageProgress;

class PageUdisk : public PageSetting {
public:
    enum : int {
        IDD = 142,
        HOTKEY_FLASH_PAGE = 1001,
        HOTKEY_MP3_PAGE = 1002,
        IDC_MANUAL = 1094,
        IDC_FLASH_MODEL = 1040,
        IDC_CHIPS = 1076,
        IDC_SINGLE = 1006,
        IDC_DUAL = 1007,
        IDC_SCAN_LEVEL = 1036,
        IDC_ECC = 1038,
        IDC_SPEED = 1037,
        IDC_PRIORITY = 1092,
        IDC_JUMP_BLOCK = 1093,
        IDC_VOLTAGE = 2303,
        IDC_HALF_VOLUME = 1089,
        IDC_SCAN_TWICE = 1090,
        IDC_OPTIMIZE = 1091,
        IDC_VENDOR_CODE = 1039,
        IDC_PRODUCT_CODE = 1041,
        IDC_VENDOR_TEXT = 1042,
        IDC_PRODUCT_TEXT = 1043,
        IDC_LED_STATUS = 1044,
        IDC_LED_FREQUENCY = 1045,
        IDC_SN_AUTO = 1003,
        IDC_SN_FIX = 1004,
        IDC_SN_INC = 1005,
        IDC_SN_LABEL = 1046,
        IDC_SN_START = 1205,
        IDC_PASSWORD = 1182,
        IDC_BLOCK_MODE = 2010,
        IDC_AUTO_START = 1210,
        IDC_EXT_CODE = 1305,
        IDC_EXT_CODE_BROWSE = 1306,
        IDC_APPLY = 1088,
        IDC_SAVE = 1014,
        IDC_CANCEL = 1025,
    };
    // The external code image the MP3 players take, at most this many bytes.
    static constexpr qint64 EXT_CODE_LIMIT = 0x14000;

    // `production` is the production page, whose channels the ports show on.
    explicit PageUdisk(PageProgress* production, QWidget* parent = nullptr);
    ~PageUdisk() override;

    bool isInitialised() const override;
    MavikChan* getChannel(int index) override;

    // False when the settings were refused and nothing was handed out.
    [[nodiscard]] bool OnClickedApply();
    void OnClickedSave();
    void OnClickedExtCode();
    void OnClickedManualSelect();
    void OnSelChangeFlashModel();
    void OnSelChangeChips();
    void OnSelChangePriority();
    void OnHotKey(int id);
    // The plugged devices' flash and capacity shown again.
    bool OnSetActive() override;
    // Renders the photo-frame caption images in the language given (1
    // Chinese, 0 English) from the run's photo-frame settings.
    void buildMenuImages(int chinese);

    CFlashConfigPage* flashPage() const { return m_flashPage.get(); }
    PageMp3Setting* mp3Page() const { return m_mp3Page.get(); }

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fillFlashInformation();
    // The plugged devices' part number (unless chosen by hand) and capacity.
    void showPluggedDevices(bool followModel);
    // Cuts the edit's text at its limit and at the first character not
    // allowed, writing it back with the caret at the cut; true when cut.
    bool filterEdit(int id, int limit, bool (*allowed)(QChar));
    void storeCode(int id);
    void storeSerialStart();
    void setSerialMode(int mode);

    PageProgress* m_production;
    // The capacity in MB of each entry of the flash-model list.
    std::vector<int> m_capacities;
    std::unique_ptr<CFlashConfigPage> m_flashPage;
    std::unique_ptr<PageMp3Setting> m_mp3Page;
};

}  // namespace Tessor::page
