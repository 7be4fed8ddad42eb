#include "shell/WndMavikMain.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QStyle>

#include "page/PageDpfBasicSetting.h"
#include "page/PageDpfClkMenuSetting.h"
#include "page/PageDpfControlSetting.h"
#include "page/PageDpfPhotoMenuSetting.h"
#include "page/PageDpfPositionSetting.h"
#include "page/PageDpfSetMenuSetting.h"
#include "page/PageProgress.h"
#include "page/PageLoginDevice.h"
#include "page/PageLoginPasswd.h"
#include "page/PageLoginResult.h"
#include "page/PageUdisk.h"
#include "page/PageUserTool.h"
#include "platform/mfc/MessageBox.h"
#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "shell/MavikApp.h"
#include "shell/MavikUiMgr.h"
#include "utils/AnsiText.h"
#include "page/MavikConfig.h"
#include "utils/MavikLang.h"

namespace Tessor::shell {

using schema::UsbConfiguration;
using utils::MavikLang;

namespace {

// A device message as the device library posts it to the window.
class DeviceMessage : public QEvent {
public:
    static QEvent::Type type()
    {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }

    DeviceMessage(unsigned id, unsigned long first, long second)
        : QEvent(type()), message(id), wParam(first), lParam(second)
    {
    }

    unsigned message;
    unsigned long wParam;
    long lParam;
};

const char* const FUNCTION_TITLES[] = {"Factory Tools", "User Tools", "Login Tools"};
// The window sits this much lower than the sheet's own size outside login mode.
constexpr int HEIGHT_CUT = 28;

}  // namespace

WndMavikMain::WndMavikMain(MavikApp* app) : CPropertySheet(QString::fromUtf8("选项")), m_app(app)
{
    const UsbConfiguration* configuration = UsbConfiguration::instance();
    const int function = configuration->getCurrentFunction();
    addFunctionPages(function);
    m_caption = MavikLang::text(FUNCTION_TITLES[function >= 0 && function < 3 ? function : 0]) + ":";
    m_caption += "--" + utils::fromAnsi(configuration->getHwVersionName()) + "(" +
                 utils::fromAnsi(configuration->getVersion().getVersionString()) + ")";
    if (configuration->isDpfSupport()) {
        addPage(std::make_unique<page::PageDpfBasicSetting>(), "Basic Setting");
        addPage(std::make_unique<page::PageDpfControlSetting>(), "Advance Setting");
        addPage(std::make_unique<page::PageDpfPositionSetting>(), "Position Setting");
        addPage(std::make_unique<page::PageDpfClkMenuSetting>(), "Clock Menu Setting");
        addPage(std::make_unique<page::PageDpfPhotoMenuSetting>(), "Picture Menu Setting");
        addPage(std::make_unique<page::PageDpfSetMenuSetting>(), "Setting Menu Setting");
    }
    m_icon = style()->standardIcon(QStyle::SP_DriveFDIcon);
    // No close button: the pages' exit path ends the sheet.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);
    setWindowTitle(m_caption);
    setWindowIcon(m_icon);
    for (const auto& page : m_pages) {
        CPLOG(7, "Page %s adding.....", page->getName());
    }
    SetWizardMode(function == schema::FUNCTION_LOGIN);
    attachConfig(m_app->config);
    wireChannels();
}

WndMavikMain::~WndMavikMain()
{
    unregisterDevices();
    // Last first: a page going away never brings up one whose neighbours are gone.
    for (auto page = m_pages.rbegin(); page != m_pages.rend(); ++page) {
        CPLOG(7, "Page %s is removing.....", (*page)->getName());
        page->reset();
    }
}

template <typename Page>
Page* WndMavikMain::addPage(std::unique_ptr<Page> page, const char* titleKey)
{
    Page* added = page.get();
    AddPage(added, MavikLang::text(titleKey));
    m_pages.push_back(std::move(page));
    return added;
}

void WndMavikMain::addFunctionPages(int function)
{
    switch (function) {
    case schema::FUNCTION_FACTORY: {
        auto* progress = addPage(std::make_unique<page::PageProgress>(), "Manufacture Progress");
        m_channelPage = addPage(std::make_unique<page::PageUdisk>(progress), "Manufacture Setting");
        break;
    }
    case schema::FUNCTION_USER:
        m_channelPage = addPage(std::make_unique<page::PageUserTool>(), "User Tools");
        break;
    case schema::FUNCTION_LOGIN: {
        auto* device = addPage(std::make_unique<page::PageLoginDevice>(), "Find UDisk");
        addPage(std::make_unique<page::PageLoginPasswd>(device), "Input Password");
        addPage(std::make_unique<page::PageLoginResult>(device), "Login Result");
        m_channelPage = device;
        break;
    }
    default:
        CPLOG(3, "Function %d has no pages", function);
        break;
    }
}

void WndMavikMain::attachConfig(page::MavikConfig* holder)
{
    for (auto& page : m_pages) {
        page->holder = holder;
        page->uiMgr = m_app->uiMgr;
        page->reloadScanConfig();
    }
}

void WndMavikMain::wireChannels()
{
    if (m_channelPage != nullptr) {
        m_app->attachChannelPage(m_channelPage);
    }
}

bool WndMavikMain::OnInitDialog()
{
    if (!IsWizardMode()) {
        setWindowIcon(m_icon);
        resize(width(), height() - HEIGHT_CUT);
        ShowDlgItem(mfc::IDOK, false);
        ShowDlgItem(mfc::IDCANCEL, false);
    }
    ShowDlgItem(ID_HELP, false);
    (void)deviceRegister(this);  // the window-side calls report nothing to act on
    m_registered = true;
    return true;
}

bool WndMavikMain::PreTranslateMessage(QEvent* event)
{
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Tab:
        return (key->modifiers() & Qt::ControlModifier) != 0;
    default:
        return false;
    }
}

void WndMavikMain::postDeviceMessage(QObject* window, unsigned message, unsigned long wParam, long lParam)
{
    QCoreApplication::postEvent(window, new DeviceMessage(message, wParam, lParam));
}

bool WndMavikMain::event(QEvent* event)
{
    if (event->type() != DeviceMessage::type()) {
        return CPropertySheet::event(event);
    }
    const auto* device = static_cast<DeviceMessage*>(event);
    switch (device->message) {
    case WM_DEVICECHANGE:
        OnDeviceChange(device->wParam, device->lParam);
        break;
    case WM_INSERT_UDISK:
        OnInsertUdisk(device->wParam);
        break;
    case WM_REMOVE_UDISK:
        OnRemoveUdisk(device->wParam);
        break;
    default:
        CPLOG(4, "Device message 0x%x is not handled", device->message);
        break;
    }
    return true;
}

int WndMavikMain::OnDeviceChange(unsigned long wParam, long lParam)
{
    (void)deviceChanged(nullptr, m_app->deviceMgr, wParam, lParam);
    return 1;
}

int WndMavikMain::OnInsertUdisk(unsigned long wParam)
{
    (void)deviceAdd(m_app->deviceMgr, wParam);
    return 1;
}

int WndMavikMain::OnRemoveUdisk(unsigned long wParam)
{
    (void)deviceDelete(m_app->deviceMgr, wParam);
    return 1;
}

void WndMavikMain::unregisterDevices()
{
    if (m_registered) {
        (void)deviceUnRegister();
        m_registered = false;
    }
}

void WndMavikMain::DestroyWindow()
{
    unregisterDevices();
    CPropertySheet::DestroyWindow();
}

}  // namespace Tessor::shell
