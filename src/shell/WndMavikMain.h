// The one window of the tool: a property sheet whose pages follow the
// configured function (factory, user or login) and photo-frame support. It
// gives every page the configuration holder and the UI manager, wires each
// port's record to its channel, and relays the device library's messages.
#pragma once

#include <QEvent>
#include <QIcon>
#include <QString>
#include <memory>
#include <vector>

#include "platform/mfc/PropertySheet.h"

namespace Tessor::page {
class MavikConfig;
class PageConfig;
class PageSetting;
}  // namespace Tessor::page

namespace Tessor::shell {

class MavikApp;

class WndMavikMain : public mfc::CPropertySheet {
public:
    // The device library's window messages.
    enum : unsigned { WM_DEVICECHANGE = 0x219, WM_REMOVE_UDISK = 0x414, WM_INSERT_UDISK = 0x415 };

    explicit WndMavikMain(MavikApp* app);
    ~WndMavikMain() override;

    // Gives every page the holder and its UI manager and reloads the
    // page's settings.
    void attachConfig(page::MavikConfig* holder);
    // Enter and Escape never reach the pages or close the sheet, nor does
    // Ctrl+Tab, which the sheet keeps for itself.
    bool PreTranslateMessage(QEvent* event) override;

    // A device message for `window`, from any thread, as the device library
    // sends them.
    static void postDeviceMessage(QObject* window, unsigned message, unsigned long wParam, long lParam);
    int OnDeviceChange(unsigned long wParam, long lParam);
    int OnInsertUdisk(unsigned long wParam);
    int OnRemoveUdisk(unsigned long wParam);

    // The page whose channels show the ports; null without one.
    page::PageSetting* getChannelPage() const { return m_channelPage; }
    const std::vector<std::unique_ptr<page::PageConfig>>& getPages() const { return m_pages; }

    void DestroyWindow() override;

protected:
    bool OnInitDialog() override;
    bool event(QEvent* event) override;

private:
    // Adds `page` under the locale text of `titleKey`; returns it.
    template <typename Page>
    Page* addPage(std::unique_ptr<Page> page, const char* titleKey);
    void addFunctionPages(int function);
    void wireChannels();
    void unregisterDevices();

    std::vector<std::unique_ptr<page::PageConfig>> m_pages;
    QString m_caption;
    MavikApp* m_app;
    QIcon m_icon;
    page::PageSetting* m_channelPage = nullptr;
    bool m_registered = false;
};

}  // namespace Tessor::shell
