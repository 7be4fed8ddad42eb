// A station as the window runs it: the engine's manager tree on simulated
// devices with the window's UI manager, its records wired to channels, and
// the application object holding the configuration holder. `Station` shows
// the ports on a page of channels (or the page given), `SheetStation` in the
// main window.
#pragma once

#include <memory>
#include <optional>

#include "page/PageChannels.h"
#include "schema/ui/EngineHarness.h"
#include "shell/MavikApp.h"
#include "shell/MavikDevice.h"
#include "shell/MavikUiMgr.h"
#include "shell/WndMavikMain.h"
#include "support/QtApp.h"

namespace bridge_test {

using namespace Tessor;

class EngineStation {
public:
    EngineStation(int ports, schema::_FUNCTION_T function)
    {
        test_support::qtApp();
        engine_test::EngineEnvironment::instance();
        // A page test may work in a station folder of its own.
        code_test::makeTree(std::filesystem::current_path());
        m_tree.emplace(ports, function,
                       [this](schema::BaseManager* root) { return m_ui = new shell::MavikUiMgr(root); });
        EXPECT_EQ(m_tree->initResult(), 0) << "the station did not start";
        m_app.createConfig(m_ui);
        m_app.deviceMgr = m_tree->usb().getDeviceMgr();
    }

    virtual ~EngineStation()
    {
        m_tree.reset();
        test_support::waitOnGui([] { return true; });
    }

    shell::MavikApp& app() { return m_app; }
    shell::MavikUiMgr& ui() { return *m_ui; }
    shell::MavikDevice& record(int port) { return *m_ui->getDevice(port); }
    taval::Hub& hub() { return m_tree->hub(); }
    schema::UsbDevice* slot(int port) { return m_tree->slot(port); }
    std::string engineState(int port) { return m_tree->stateOf(port); }

    // Plugs a simulated device made with `keys` into `port`.
    void plug(int port, const std::string& name, const engine_test::Keys& keys = {})
    {
        std::string error;
        const std::string folder = engine_test::EngineEnvironment::instance().makeDevice(name, keys);
        ASSERT_EQ(hub().plug(port, folder, &error), 0) << error;
    }

private:
    shell::MavikApp m_app;
    shell::MavikUiMgr* m_ui = nullptr;
    // Built once the station folder is ready, and taken down before the GUI's
    // last queue is run.
    std::optional<engine_test::ManagerTree> m_tree;
};

class Station : public EngineStation {
public:
    Station(int ports, schema::_FUNCTION_T function, std::unique_ptr<page::PageSetting> page = nullptr)
        : EngineStation(ports, function)
    {
        m_page = page ? std::move(page) : std::make_unique<page::PageChannels>(ui().getCount());
        m_page->holder = app().config;
        m_page->uiMgr = &ui();
        m_page->reloadScanConfig();
        app().attachChannelPage(m_page.get());
    }

    ~Station() override { ui().detachPage(); }

    // Shows the page, which ends its initialisation.
    void showPage() { m_page->show(); }
    page::PageSetting& page() { return *m_page; }
    page::MavikChan& channel(int port) { return *m_page->getChannel(port); }
    QString labelText(int port) { return m_page->GetDlgItemText(channel(port).labelId); }
    bool labelEnabled(int port) { return m_page->GetDlgItem(channel(port).labelId)->isEnabled(); }
    QString progressText(int port) { return channel(port).progress->getStateText(); }

private:
    std::unique_ptr<page::PageSetting> m_page;
};

class SheetStation : public EngineStation {
public:
    SheetStation(int ports, schema::_FUNCTION_T function) : EngineStation(ports, function)
    {
        // As at start-up: the flash parts are read before the pages show them.
        app().loadFlashPartTable();
        m_sheet = std::make_unique<shell::WndMavikMain>(&app());
    }

    ~SheetStation() override { ui().detachPage(); }

    shell::WndMavikMain& sheet() { return *m_sheet; }

private:
    std::unique_ptr<shell::WndMavikMain> m_sheet;
};

}  // namespace bridge_test
