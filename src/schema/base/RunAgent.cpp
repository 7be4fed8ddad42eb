#include "schema/base/RunAgent.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "platform/ini/RegularFile.h"
#include "platform/orrin/Orrin.h"
#include "schema/base/Assert.h"
#include "schema/base/BaseManager.h"
#include "schema/base/Log.h"
#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDeviceMgr.h"
#include "schema/ui/UiInterfaceMgr.h"

namespace Tessor::schema {

RunAgent* RunAgent::agent = nullptr;
Threads::Mutex RunAgent::uiLock;
BaseManager* RunAgent::uiMgr = nullptr;
char RunAgent::cfgParm[RunAgent::PARAM_SIZE] = {};

namespace {

thread_local BaseManager* t_ownManager = nullptr;

const char* const VERSION_FORMAT = "%s (version: %s.%s.%s-%s %s %s, %s)\r\n";

std::string configPath(const char* fileName)
{
    if (fileName[0] == '/') {
        return fileName;
    }
    return std::string(SystemInfo::getCurrentWorkingDirectory()) + "/" + fileName;
}

}  // namespace

bool RunAgent::setCfgParm(const char* fileName)
{
    if (fileName == nullptr) {
        return false;
    }
    std::snprintf(cfgParm, sizeof(cfgParm), "%s", fileName);
    return true;
}

RunAgent* RunAgent::instance()
{
    if (agent == nullptr) {
        agent = new RunAgent(cfgParm);
    }
    return agent;
}

RunAgent* RunAgent::existing() { return agent; }

RunAgent::RunAgent(const char* fileName)
{
    setDefaultLogLabel("AGENT");
    const std::string path = configPath(fileName);
    std::string reason;
    const int file = Tessor::IO::openRegularFile(path, reason);
    if (file < 0) {
        std::fprintf(stderr, "can not open %s: %s\n", path.c_str(), reason.c_str());
        std::exit(START_FAILED_STATUS);
    }
    ::close(file);
    UsbConfiguration::instance(path);
    UsbConfiguration* config = UsbConfiguration::instance();
    TESSOR_ASSERT(config != nullptr);
    if (!config->getLogFilename().empty() && openLogFile(config->getLogFilename().c_str()) == 0) {
        CPLOG(1, "Could not open %s", config->getLogFilename().c_str());
    }
    setLogLevel(config->getLogLevel());
    setLogSizeLimit(static_cast<long long>(config->getLogSize()) * 1024);
    config->logNotices();
    if (config->getLogLevel() == LOG_DBUG) {
        config->show();
    }
    m_shutdownDone = false;
    std::srand(SystemInfo::getSystemTick());
    const int high = std::rand() & 0xFFFF;
    const int low = std::rand() & 0xFFFF;
    SystemInfo::uniqueId = (high << 16) | low;
    SystemInfo::snId = 0;
    m_root = new BaseManager(nullptr, "AgentMgr");
    std::snprintf(m_versionInfo, sizeof(m_versionInfo), VERSION_FORMAT, "frameWork", "01", "2", "00", "00",
                  "Dec 22 2010", "13:37:50", "debug");
    char utility[PARAM_SIZE] = {};
    std::snprintf(utility, sizeof(utility), VERSION_FORMAT, "Kestle", "01", "0", "00", "00", "Jan  8 2010",
                  "15:12:35", "release");
    CPLOG(5, "Tessor (Built at Dec 22 2010 13:37:50)");
    CPLOG(5, "%s", sharedVersionInfo());
    CPLOG(5, "%s", deviceLayerVersionInfo());
    CPLOG(5, "%s", utility);
    CPLOG(5, "%s", m_versionInfo);
    CPLOG(5, "Startup ID : %x", SystemInfo::uniqueId);
    CPLOG(7, "PID is %d", static_cast<int>(getpid()));
}

RunAgent::~RunAgent() { CPLOG(7, "Destorying RunAgent....."); }

int RunAgent::init(UiInterfaceMgr* ui)
{
    CPLOG(7, "Create UiInterfaceMgr");
    TESSOR_ASSERT(ui != nullptr);
    attachUi(ui);
    m_portLimit = ui->getPortLimit();
    std::fprintf(stdout, "Ready\n");
    return 0;
}

int RunAgent::run()
{
    // Refused before any manager or thread runs, so the process can end at
    // once; the UI manager, which never joined the tree, is handed back.
    std::string cause;
    if (!UsbConfiguration::instance()->checkStation(m_portLimit, cause)) {
        std::fprintf(stderr, "%s\n", cause.c_str());
        cpLogForced(LOG_ERR, __FILE__, __LINE__, "%s", cause.c_str());
        detachUi();
        return -1;
    }
    m_root->addManager(getUiMgr());
    const std::map<std::string, std::string> plugIns = UsbConfiguration::instance()->getPlugIns();
    for (const auto& [name, value] : plugIns) {
        const int result = addPlugIn(name.c_str(), value.c_str());
        if (result != 0) {
            // The UI manager never ran: it leaves the tree and is handed back.
            m_root->removeManager(getUiMgr());
            detachUi();
            return result;
        }
    }
    getUiMgr()->execute();
    return m_root->startup();
}

int RunAgent::addPlugIn(const char* name, const char* /*value*/)
{
    UsbDeviceMgr* manager = new UsbDeviceMgr(m_root, name);
    m_deviceMgr = manager->getDeviceMgr();
    const int result = manager->init();
    if (result != 0) {
        const std::string& cause = manager->getStartFailure();
        std::fprintf(stderr, "%s: %s\n", name, cause.c_str());
        cpLogForced(LOG_ERR, __FILE__, __LINE__, "%s: %s", name, cause.c_str());
    }
    CPLOG(7, "%s is registered", name);
    manager->execute();
    m_root->addManager(manager);
    return result;
}

void RunAgent::join()
{
    CPLOG(7, "Threads join");
    CPLOG(7, "UiMgr Thread join");
    CPLOG(7, "All Threads in Agent have been exit");
}

void RunAgent::shutdown()
{
    const char* text = "shutdown procedure is called when exit normally or abnormally.....";
    std::fprintf(stdout, "%s\n", text);
    std::fflush(stdout);
    CPLOG(7, "%s", text);
    if (agent != nullptr && !agent->m_shutdownDone) {
        agent->m_shutdownDone = true;
        agent->stop();
    }
}

void RunAgent::stop()
{
    // Running passes learn of the end first, so no device keeps the exit
    // waiting for the rest of its pass.
    const int count = m_root->getManagerCount();
    for (int i = 0; i < count; ++i) {
        DeviceMgr* devices = dynamic_cast<DeviceMgr*>(m_root->getManager(i));
        if (devices != nullptr) {
            devices->cancelDevices();
        }
    }
    detachUi();
    CPLOG(7, "shutdown device layer and all devices in logical layer.....");
    // The manager whose thread ends the process cannot end before it: it
    // goes with the process.
    BaseManager* own = t_ownManager;
    if (own != nullptr && own->getParent() == m_root) {
        m_root->removeManager(own);
        own->shutdown();
    }
    m_root->removeAllManagers();
}

void RunAgent::reportToUi(const Sptr<BaseEvent>& event)
{
    Threads::Lock guard(uiLock);
    if (uiMgr == nullptr) {
        CPLOG(7, "'%s' report without a UI manager: dropped", event->name());
        return;
    }
    uiMgr->reportEvent(event);
}

void RunAgent::attachUi(BaseManager* manager)
{
    Threads::Lock guard(uiLock);
    uiMgr = manager;
}

void RunAgent::detachUi() { attachUi(nullptr); }

void RunAgent::markManagerThread(BaseManager* manager) { t_ownManager = manager; }

VERSION_T RunAgent::getVersion()
{
    const _HW_VERSION_T* hw = UsbConfiguration::instance()->getHwVersion();
    const VERSION_T version = static_cast<VERSION_T>(hw != nullptr ? hw->version : 0);
    CPLOG(7, "get virson in runagent = %d", version);
    return version;
}

BaseManager* RunAgent::getUiMgr()
{
    Threads::Lock guard(uiLock);
    return uiMgr;
}

Sptr<EventQueue> RunAgent::getUiQueue()
{
    BaseManager* ui = getUiMgr();
    return ui != nullptr ? ui->getQueue() : Sptr<EventQueue>();
}

DeviceMgr* RunAgent::findDeviceMgr(int index)
{
    TESSOR_ASSERT(index >= 0);
    return dynamic_cast<DeviceMgr*>(m_root->getManager(index));
}

Sptr<EventQueue> RunAgent::findDeviceQueue(int index)
{
    DeviceMgr* manager = findDeviceMgr(index);
    return manager != nullptr ? manager->getQueue() : Sptr<EventQueue>();
}

}  // namespace Tessor::schema
