#include "shell/MavikDevice.h"

#include <QPointer>
#include <functional>

#include "page/MavikChan.h"
#include "page/PageConfig.h"
#include "page/PageSetting.h"
#include "platform/mfc/GuiThread.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/DeviceCode.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "shell/DeviceTexts.h"
#include "shell/MavikApp.h"
#include "shell/MavikUiMgr.h"
#include "shell/PartitionFit.h"
#include "shell/UiStateTable.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgTable.h"
#include "usb/profile/FlashInfo.h"
#include "utils/AnsiText.h"
#include "utils/MavikLang.h"

namespace Tessor::shell {

using namespace schema;
using enum page::UiState;
using enum page::UserAction;
using utils::MavikLang;

namespace {

constexpr int SECTORS_PER_MB = 2048;
// A build configured for this few sectors or less configured no capacity.
constexpr int MIN_CONFIGURED_SECTORS = 16;
// Controls of the production page that show the ready device's identity.
constexpr int FLASH_TYPE_EDIT = 1148;
constexpr int PARTITIONS_EDIT = 1047;

std::string look(const char* key) { return utils::toAnsi(MavikLang::text(key)); }

bool factoryMode() { return UsbConfiguration::instance()->getCurrentFunction() == FUNCTION_FACTORY; }

// Runs `work` on the channel's page on the GUI thread, while the page lives.
void onPage(page::MavikChan* channel, std::function<void(page::PageConfig&)> work)
{
    page::PageConfig* shown = channel != nullptr ? channel->page.load() : nullptr;
    if (shown == nullptr) {
        return;
    }
    QPointer<page::PageConfig> page(shown);
    mfc::runOnGui([page, work = std::move(work)] {
        if (page) {
            work(*page);
        }
    });
}

// Shows `text` in control `id` of the channel's page.
void showOnPage(page::MavikChan* channel, int id, const QString& text)
{
    onPage(channel, [id, text](page::PageConfig& page) { page.SetDlgItemText(id, text); });
}

// " n(MB)": what the device's last build configured (or, configured for
// nothing, found) of its flash; empty without a table or build information.
std::string builtCapacity(UsbDevice& device)
{
    Sptr<usb::CfgTable> table = device.getCfgTable();
    Sptr<usb::BuildInfo> build = table ? table->getBuildInfo() : Sptr<usb::BuildInfo>();
    if (!build) {
        return std::string();
    }
    const int configured = static_cast<int>(build->getConfigCapacity());
    const int sectors = configured > MIN_CONFIGURED_SECTORS ? configured : static_cast<int>(build->getRealCapacity());
    return formatText(" %d(MB)", sectors / SECTORS_PER_MB);
}

}  // namespace

MavikDevice::MavikDevice(const Sptr<ConfigInfo>& settings) : m_runSettings(settings) {}

Sptr<ConfigInfo> MavikDevice::getRunSettings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_runSettings;
}

void MavikDevice::setRunSettings(const Sptr<ConfigInfo>& settings)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_runSettings = settings;
}

std::string MavikDevice::getStatusText() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_statusText;
}

QString MavikDevice::getPartNumber() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_partNumber;
}

std::string MavikDevice::deviceName() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_driveText;
}

int MavikDevice::deviceIndex() const
{
    UsbDevice* device = getDevice();
    return device != nullptr ? device->getIndex() : 0;
}

void MavikDevice::setState(int state, const Sptr<UiEvent>& event)
{
    m_state.store(state);
    if (event && event->getGeneration() != 0) {
        m_generation.store(event->getGeneration());
    }
    if (event && event->getDevice() != nullptr) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_driveText = event->getDriveText();
    }
    if (getDevice() == nullptr && event && event->getDevice() != nullptr) {
        m_device.store(dynamic_cast<UsbDevice*>(event->getDevice()));
    }
    showState();
}

void MavikDevice::showState()
{
    const int state = getState();
    // The name is read from the device only where the button shows it: a
    // device going away leaves its record while the port shows its number.
    const bool named = state != UI_NO_DISK && state != UI_FOUND && state != UI_UNPLUGGED;
    const ButtonView view = buttonView(state, getDevice() != nullptr, named ? deviceName() : std::string(),
                                       deviceIndex(), look);
    page::PageConfig* shown = channel != nullptr ? channel->page.load() : nullptr;
    if (shown == nullptr) {
        return;
    }
    QPointer<page::PageConfig> page(shown);
    const int labelId = channel->labelId;
    const QString text = utils::fromAnsi(view.text);
    const bool enabled = view.enabled;
    mfc::runOnGui([page, labelId, text, enabled] {
        if (!page) {
            return;
        }
        if (labelId != -1) {
            page->SetDlgItemText(labelId, text);
            if (page->isEnabled()) {
                page->EnableDlgItem(labelId, enabled);
            }
        }
        page->onDeviceStateShown();
    });
}

void MavikDevice::onUserAction(int action)
{
    const std::optional<UiTransition> step = uiTransition(getState(), action);
    if (!step) {
        return;
    }
    setState(step->next, Sptr<UiEvent>());
    sendToDevice(step->request, Sptr<UiEvent>());
}

void MavikDevice::sendToDevice(int request, const Sptr<UiEvent>& given)
{
    UsbDevice* device = getDevice();
    if (device == nullptr) {
        CPLOG(3, "Request %d for a port without device is not sent", request);
        return;
    }
    Sptr<UiEvent> event = given;
    if (!event) {
        event = Sptr<UiEvent>(new UiEvent());
        event->setDevice(device);
        event->setGeneration(m_generation.load());
        event->setErrorCode(0);
    }
    if (request == UI_SIG_START) {
        const std::optional<int> capacity = deviceSectors(*device);
        if (!capacity) {
            // The index goes in where the text of either language holds it.
            mfc::AfxMessageBox(MavikLang::text("Device Index %d Capacity is 0, check it")
                                   .replace("%d", QString::number(device->getIndex())));
            return;
        }
        // Fitted on a copy of its own and then held: the UI manager's thread
        // may be showing the held settings meanwhile.
        const Sptr<ConfigInfo> own(new ConfigInfo(getRunSettings()));
        const Sptr<ConfigInfo> fitted = fittedRunSettings(*own, *capacity);
        setRunSettings(own);
        if (!fitted) {
            mfc::AfxMessageBox(utils::fromAnsi(formatText(
                "%s(%d)%s,%s!", look("Channel").c_str(), device->getIndex() + 1,
                look("the ISO file loaded has oversteped the capacity of the Flash").c_str(),
                look("please reload the ISO file").c_str())));
            setState(UI_READY, Sptr<UiEvent>());
            return;
        }
        event->setConfigInfo(fitted);
        m_startTick.store(SystemInfo::getSystemTick());
        m_busy.store(1);
    }
    event->setType(static_cast<UiSignalType>(request));
    device->reportEvent(Sptr<BaseEvent>(event));
}

void MavikDevice::btnRightClick()
{
    const int state = getState();
    if (state != UI_READY && state != UI_PRODUCING && state != UI_STOPPED && state != UI_FAILED) {
        return;
    }
    const QString text = MavikLang::text("Eject this device");
    if (mfc::AfxMessageBox(text, mfc::MB_YESNO | mfc::MB_ICONEXCLAMATION, text) == mfc::IDYES) {
        sendToDevice(UI_SIG_EJECT, Sptr<UiEvent>());
        setState(UI_EJECTING, Sptr<UiEvent>());
    }
}

void MavikDevice::setStatusText(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_statusText = text;
}

void MavikDevice::writeStatusLine(const std::string& text)
{
    setStatusText(text);
    if (channel != nullptr && channel->progress) {
        channel->progress->setStateText(utils::fromAnsi(text));
    }
}

void MavikDevice::onNewDevice(const Sptr<UiEvent>& event)
{
    setState(UI_FOUND, event);
    writeStatusLine(newDeviceLine(deviceName(), deviceIndex(), look));
}

void MavikDevice::onReady(const Sptr<UiEvent>& event)
{
    MavikApp* app = MavikApp::instance();
    const bool factory = factoryMode();
    const bool autoStart = factory && app->config->getConfigInfo()->checkAutoStart();
    page::UProgressInfoCtrl* progress = channel != nullptr ? channel->progress.data() : nullptr;
    std::string first;
    if (!factory) {
        // The device's settings become the pages' settings on the GUI thread,
        // while the channel page lives (the manager may be gone); queued
        // before the ready state, so whoever sees the device ready (the
        // wizard's Next) sees its settings, password included.
        Sptr<ConfigInfo> carried = event->getConfigInfo();
        QPointer<page::PageSetting> page(app->uiMgr->getPage());
        page::MavikConfig* holder = app->config;
        mfc::runOnGui([carried, page, holder] {
            if (carried) {
                holder->setConfigInfo(carried);
            }
            if (page) {
                page->reloadScanConfig();
            }
        });
    }
    setState(UI_READY, event);
    UsbDevice* device = getDevice();
    if (device == nullptr) {
        return;
    }
    if (autoStart) {
        onUserAction(ACTION_CLICK);
        if (progress != nullptr) {
            progress->setEmptyBar(false);
            progress->setFullBar(false);
        }
        m_startTick.store(SystemInfo::getSystemTick());
        setStatusText(formatText("'%s' %s", deviceName().c_str(), look("begin the product process automatically").c_str()));
    } else {
        Sptr<VersionInfo> version = device->getVersion();
        const bool formatted = factory && version && version->checkCfgTable();
        first = look(formatted ? "has been formatted" : "do not format");
        Sptr<usb::FlashInfo> flash = device->getFlashInfo();
        if (!flash) {
            return;
        }
        setStatusText(readyLine(deviceName(), flash->getFlashId(), formatted,
                                formatted ? builtCapacity(*device) : std::string(), look));
        if (progress != nullptr) {
            progress->setEmptyBar(true);
        }
    }
    if (!factory) {
        writeStatusLine(formatText("'%s' %s,%s", deviceName().c_str(), first.c_str(),
                                   look("press next to continue!").c_str()));
    } else if (progress != nullptr) {
        progress->setStateText(utils::fromAnsi(getStatusText()));
    }
    showIdentity(*device);
}

void MavikDevice::showIdentity(UsbDevice& device)
{
    Sptr<usb::FlashInfo> flash = device.getFlashInfo();
    if (flash && ConfigInfo::getFlashModel().empty()) {
        const QString partNumber = utils::fromAnsi(flash->getChipInfo()->PartNumber);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_partNumber = partNumber;
        }
        showOnPage(channel, FLASH_TYPE_EDIT, partNumber);
        // The flash-chip table page preselects the current part.
        onPage(channel, [partNumber](page::PageConfig& page) {
            if (page.uiMgr != nullptr) {
                page.uiMgr->setCurrentPartNumber(partNumber);
            }
        });
    }
    Sptr<DiskInfo> disk = device.getDiskInfo();
    if (!disk) {
        return;
    }
    m_readyCount.fetch_add(1);
    m_capacityMb.store(disk->getTotalSectors() / SECTORS_PER_MB);
    const int totalMb = deviceSectors(device).value_or(0) / SECTORS_PER_MB;
    Sptr<ConfigInfo> settings = getRunSettings();
    showOnPage(channel, PARTITIONS_EDIT, utils::fromAnsi(partitionText(*settings, totalMb, look)));
}

void MavikDevice::onProgress(const Sptr<UiEvent>& event)
{
    Sptr<ProgressInfo> report = event->getProgressInfo();
    if (channel == nullptr || channel->progressId == -1 || getState() == UI_UNPLUGGED || !report || !channel->progress) {
        return;
    }
    channel->progress->setProgressInfo(report);
}

void MavikDevice::onStatus(const Sptr<UiEvent>& event)
{
    const int code = event->getErrorCode();
    setState(code == DeviceCode::CANCELLED ? UI_STOPPED : UI_FAILED, event);
    if (channel != nullptr && channel->progress) {
        channel->progress->setFullBar(true);
    }
    m_busy.store(0);
    writeStatusLine(statusLine(code, look, event->getErrorCause()));
}

void MavikDevice::onBuildOk(const Sptr<UiEvent>& event)
{
    setState(factoryMode() ? UI_BUILT : UI_READY, event);
    const uint32_t end = SystemInfo::getSystemTick();
    m_endTick.store(end);
    m_elapsed.store(end - m_startTick.load());
    UsbDevice* device = getDevice();
    int real = 0;
    int configured = 0;
    int mode = 0;
    if (device != nullptr) {
        Sptr<ConfigInfo> used = device->getConfigInfo();
        if (used) {
            real = used->getRealCapacity();
            configured = used->getConfigCapacity();
        }
        mode = device->getProScanMode();
    }
    if (channel != nullptr && channel->progress) {
        channel->progress->setFullBar(true);
    }
    writeStatusLine(buildOkLine(real, configured, m_elapsed.load(), mode, look));
    m_busy.store(0);
}

void MavikDevice::onPlugOff(const Sptr<UiEvent>& event)
{
    setState(UI_UNPLUGGED, event);
    sendToDevice(UI_SIG_RELEASED, event);
    if (channel != nullptr && channel->progress) {
        channel->progress->setEmptyBar(true);
        channel->progress->setFullBar(false);
    }
    writeStatusLine(std::string());
    m_busy.store(0);
}

void MavikDevice::onCancelOk(const Sptr<UiEvent>& event)
{
    setState(UI_READY, event);
    writeStatusLine(cancelledLine(look));
}

}  // namespace Tessor::shell
