// The application object: start-up from the command line, the engine's
// bring-up, the window's shared objects, the flash-part list and the end.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/taval/Taval.h"
#include "schema/device/VersionInfo.h"
#include "page/FlashPartTable.h"
#include "page/MavikConfig.h"
#include "utils/MavikLang.h"

namespace Tessor::page {
class PageSetting;
}

namespace Tessor::shell {

class MavikUiMgr;

class MavikApp {
public:
    MavikApp();
    virtual ~MavikApp();
    MavikApp(const MavikApp&) = delete;
    MavikApp& operator=(const MavikApp&) = delete;

    // The one application object; pages and records reach the shared
    // objects through it.
    static MavikApp* instance();

    // The whole life of the tool; the process's exit status: 0 after the
    // window closed, the run agent's start failure when a layer failed.
    int InitInstance(int argc, char** argv);
    void createConfig(MavikUiMgr* ui);
    // Fills the flash-part list; runs on its own thread at start-up.
    void loadFlashPartTable();
    // The flash parts, once the loader has read the table.
    std::vector<page::FlashPart> getFlashParts();
    // Wires every port's record to its channel on `page` and makes it the
    // page the UI manager shows the reports on; the page has its holder.
    void attachChannelPage(page::PageSetting* page);

    utils::MavikLang* lang = nullptr;
    page::MavikConfig* config = nullptr;
    MavikUiMgr* uiMgr = nullptr;
    DEVICE_MGR_T* deviceMgr = nullptr;

protected:
    // Runs the window until the operator leaves.
    virtual void runMainSheet();

private:
    std::thread m_loader;
    std::mutex m_partsMutex;
    std::condition_variable m_partsLoaded;
    bool m_loaded = false;
    std::vector<page::FlashPart> m_flashParts;
};

// The framework version the engine runs with.
extern schema::VERSION_T frameworkVersion;

}  // namespace Tessor::shell
