// The production page of factory mode: twenty channels, the summary of the
// run settings, and the operator's buttons. A click on a channel acts on
// that one port.
#pragma once

#include <array>
#include <memory>

#include "page/MavikChan.h"
#include "page/PageConfig.h"

namespace Tessor::page {

class PageProgress : public PageConfig {
public:
    static constexpr int IDD = 143;
    static constexpr int CHANNELS = 20;
    enum : int {
        IDC_START_ALL = 1051,
        IDC_STOP_ALL = 1052,
        IDC_EJECT = 1053,
        IDC_HELP = 1054,
        IDC_EXIT = 1055,
        IDC_LOG_MANAGER = 1058,
        IDC_AUTO_START = 1204,
        IDC_BINDING = 1308,
        IDC_FLASH_TYPE = 1148,
        IDC_SCAN_LEVEL = 1012,
        IDC_VENDOR = 1013,
        IDC_PARTITIONS = 1047,
        IDC_ECC = 1049,
        IDC_PRODUCT = 1057,
    };
    static constexpr int TIMER_ID = 1;

    explicit PageProgress(QWidget* parent = nullptr);

    // Channel `index` (port index + 1 on its button); null outside 0..19.
    MavikChan* getChannel(int index);

    void OnClickedStartAll();
    void OnClickedStopAll();
    void OnClickedEjectAll();
    void OnClickedExit();
    void OnClickedLogManager();
    void OnClickedAutoStart();
    void OnClickedBinding();
    // Shows the run settings' summary again; the settings page calls it on Apply.
    void showSettings();

    // Hit-tests presses against the live channels.
    bool PreTranslateMessage(QEvent* event) override;

protected:
    bool OnInitDialog() override;
    void OnTimer(int id) override;
    void showEvent(QShowEvent* event) override;

private:
    void layoutChannels();
    void setTexts();
    // Labels as wide as their texts, edits beside them.
    void fitSummary();
    int liveChannels() const;
    // Saves the serial number the next run starts with (serial mode 2).
    void saveSerialNumber();
    std::string userSettingFile() const;

    std::array<std::unique_ptr<MavikChan>, CHANNELS> m_channels;
    int m_timerId = TIMER_ID;
};

}  // namespace Tessor::page
