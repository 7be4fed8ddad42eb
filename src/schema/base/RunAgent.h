// Brings the engine up from the configuration file and takes it down at
// process exit; the directory of the running managers.
#pragma once

#include "platform/taval/Taval.h"
#include "schema/base/Mutex.h"
#include "schema/base/Sptr.h"
#include "schema/event/BaseEvent.h"

namespace Tessor::schema {

class BaseManager;
class DeviceMgr;
class UiInterfaceMgr;
enum VERSION_T : int;

class RunAgent {
public:
    static constexpr int PARAM_SIZE = 1024;
    // Exit status of a station that cannot start: neither success nor the
    // login function's 1, nor the 2 of a failed check.
    static constexpr int START_FAILED_STATUS = 3;

    [[nodiscard]] static bool setCfgParm(const char* fileName);
    // Created on the first call from the configuration file set before.
    static RunAgent* instance();
    // The agent when it exists, without creating it.
    static RunAgent* existing();
    // Registered to run at process exit; later calls only print.
    static void shutdown();
    // Hands a report to the UI manager; dropped once shutdown has begun or
    // before there is one.
    static void reportToUi(const Sptr<BaseEvent>& event);
    // Where reports go: set by init, cleared when shutdown begins.
    static void attachUi(BaseManager* ui);
    static void detachUi();
    // Called on a manager's own thread: the exit-time shutdown does not wait
    // for the manager of the thread that ends the process.
    static void markManagerThread(BaseManager* manager);

    ~RunAgent();
    RunAgent(const RunAgent&) = delete;
    RunAgent& operator=(const RunAgent&) = delete;

    [[nodiscard]] int init(UiInterfaceMgr* ui);
    // 0 once the device side runs. A configuration that gives the station
    // nothing to run is refused before anything starts: its cause goes to
    // standard error and the UI manager is detached, left to its creator.
    [[nodiscard]] int run();
    void join();
    VERSION_T getVersion();
    char* getVersionInfo() { return m_versionInfo; }
    BaseManager* getManager() { return m_root; }
    BaseManager* getUiMgr();
    Sptr<EventQueue> getUiQueue();
    DeviceMgr* findDeviceMgr(int index);
    Sptr<EventQueue> findDeviceQueue(int index);
    DEVICE_MGR_T* getDeviceMgr() { return m_deviceMgr; }

    static char cfgParm[PARAM_SIZE];

private:
    explicit RunAgent(const char* fileName);

    [[nodiscard]] int addPlugIn(const char* name, const char* value);
    void stop();

    static RunAgent* agent;

    static Threads::Mutex uiLock;
    // Read under uiLock, so no report reaches a UI manager that is going.
    static BaseManager* uiMgr;

    bool m_shutdownDone = false;
    BaseManager* m_root = nullptr;
    DEVICE_MGR_T* m_deviceMgr = nullptr;
    int m_portLimit = 0;
    char m_versionInfo[PARAM_SIZE];
};

}  // namespace Tessor::schema
