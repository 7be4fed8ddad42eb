#include "shell/MavikApp.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "page/MavikChan.h"
#include "page/PageSetting.h"
#include "platform/mfc/GuiThread.h"
#include "platform/mfc/MessageBox.h"
#include "platform/mfc/StandardTexts.h"
#include "schema/base/Log.h"
#include "schema/base/RunAgent.h"
#include "schema/base/UsbConfiguration.h"
#include "shell/CommandLine.h"
#include "shell/MavikDevice.h"
#include "shell/MavikUiMgr.h"
#include "shell/SystemLocale.h"
#include "shell/WndMavikMain.h"
#include "usb/ops/UsbProduction.h"
#include "utils/AnsiText.h"

namespace Tessor::shell {

using namespace schema;

schema::VERSION_T frameworkVersion = VERSION_UNSET;

namespace {

MavikApp* g_app = nullptr;

void logLanguage(int language)
{
    switch (language) {
    case utils::LANG_ENGLISH:
        CPLOG(7, "locale is English");
        break;
    case LANG_SCHINESE:
        CPLOG(7, "locale is Simple Chinese");
        break;
    case LANG_TCHINESE:
        CPLOG(7, "locale is Traditional Chinese");
        break;
    default:
        CPLOG(4, "locale is unknown language");
        break;
    }
}

}  // namespace

MavikApp::MavikApp() { g_app = this; }

MavikApp::~MavikApp()
{
    if (m_loader.joinable()) {
        m_loader.join();
    }
    delete config;
    if (g_app == this) {
        g_app = nullptr;
    }
}

MavikApp* MavikApp::instance() { return g_app; }

int MavikApp::InitInstance(int argc, char** argv)
{
    // The standard buttons follow the system's language from the first box
    // on; our own texts once the configuration names their file.
    const int language = SystemLocale::language();
    const bool standardTexts = mfc::useStandardTexts(SystemLocale::qtName(language));
    const std::string line = utils::toAnsi(QString::fromLocal8Bit(commandLineText(argc, argv)));
    if (line.empty()) {
        mfc::AfxMessageBox("No configuration file is found! Please start it with shortcut icon!");
        return RunAgent::START_FAILED_STATUS;
    }
    parseCommandLine(line);
    Tessor::usb::installUsbProduction();
    RunAgent* agent = RunAgent::instance();
    setLogLabel("MainWin");
    MavikUiMgr* ui = new MavikUiMgr(agent->getManager());
    createConfig(ui);
    if (agent->init(ui) != 0) {
        CPLOG(3, "Low Layers failed");
        mfc::AfxMessageBox("Some Errors found in Logical Layer");
        return RunAgent::START_FAILED_STATUS;
    }
    lang = new utils::MavikLang(language, SystemLocale::fileFor(language), config->getWorkDir());
    utils::MavikLang::install(lang);
    logLanguage(lang->getLanguage());
    if (!standardTexts) {
        CPLOG(4, "Qt's translations for %s are not installed: the standard buttons stay English",
              SystemLocale::qtName(language).toLatin1().constData());
    }
    if (std::atexit(&RunAgent::shutdown) != 0) {
        CPLOG(4, "register shutdown Failed");
    } else {
        CPLOG(7, "register shutdown procedure.....");
    }
    frameworkVersion = agent->getVersion();
    if (agent->run() != 0) {
        std::fprintf(stdout, "some error in device management\n");
        std::fflush(stdout);
        mfc::AfxMessageBox(utils::MavikLang::text("Some Errors found in Device Layer"));
        return RunAgent::START_FAILED_STATUS;
    }
    deviceMgr = agent->getDeviceMgr();
    m_loader = std::thread([this] { loadFlashPartTable(); });
    runMainSheet();
    agent->join();
    return 0;
}

void MavikApp::createConfig(MavikUiMgr* ui)
{
    uiMgr = ui;
    config = new page::MavikConfig(ui);
}

void MavikApp::loadFlashPartTable()
{
    std::vector<page::FlashPart> parts = page::readFlashParts(UsbConfiguration::instance()->getFlashFileName());
    std::lock_guard<std::mutex> lock(m_partsMutex);
    m_flashParts = std::move(parts);
    m_loaded = true;
    m_partsLoaded.notify_all();
}

std::vector<page::FlashPart> MavikApp::getFlashParts()
{
    std::unique_lock<std::mutex> lock(m_partsMutex);
    m_partsLoaded.wait(lock, [this] { return m_loaded; });
    return m_flashParts;
}

void MavikApp::attachChannelPage(page::PageSetting* page)
{
    for (int i = 0; i < uiMgr->getCount(); ++i) {
        page::MavikChan* channel = page->getChannel(i);
        MavikDevice* record = uiMgr->getDevice(i);
        if (channel != nullptr) {
            channel->device = record;
            record->channel = channel;
        }
    }
    uiMgr->setPage(page);
}

void MavikApp::runMainSheet()
{
    WndMavikMain sheet(this);
    sheet.DoModal();
    // The window goes: reports still on their way find no page, and a
    // record that waits for an answer gets the default one.
    mfc::closeGui();
    uiMgr->detachPage();
}

}  // namespace Tessor::shell
