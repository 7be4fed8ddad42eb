// Photo-frame devices taken by the device engine along the whole factory
// road: plug-in, scan, low format with the photo-frame areas, high format,
// built. The station's working folder holds a photo-frame resource tree and
// the firmware images; the flash of a built device is read back through the
// frame's table.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "schema/dpf/DpfConfig.h"
#include "schema/ui/EngineHarness.h"
#include "support/CodeTree.h"
#include "support/DpfFlashReader.h"
#include "support/DpfTree.h"
#include "support/Waits.h"

namespace dpf_test {

using engine_test::Report;

// A 1 Gbit part: 1024 blocks of 64 pages of 4 sectors.
constexpr int kBlocks = 1024;
constexpr int kSectorsPerBlock = 256;

struct Variant {
    const char* chipSet;
    int copies;  // of the system area
};

inline void PrintTo(const Variant& v, std::ostream* out) { *out << v.chipSet; }

// What a built device's port reported.
inline std::vector<Report> builtReports(int port)
{
    using namespace Tessor::schema;
    return {{UI_SIG_FOUND, port, 0}, {UI_SIG_READY, port, 0}, {UI_SIG_BUILD_OK, port, 0}};
}

class DpfRoad {
public:
    // A station of `ports` ports for devices of `variant`, its working folder
    // (a name not in plain ASCII) holding the resource tree, made once per
    // process.
    DpfRoad(const Variant& variant, int ports) : m_back(fs::current_path())
    {
        fs::current_path(station());
        using Tessor::schema::UsbConfiguration;
        UsbConfiguration* config = UsbConfiguration::instance();
        config->setChipSet(variant.chipSet);
        config->setCfgTableCount(variant.copies);
        config->setDpfSupport(true);
        if (config->getScanCodeList()->empty()) {
            config->addScanCodeImage(variant.chipSet, "releases/code/scan_6716.img");
            config->addUdiskCodeImage(variant.chipSet, "releases/code/udisk_6716.img");
        }
        if (config->getDpfCodeList(Tessor::schema::CHIPSET_6716V31)->empty()) {
            config->addDpfCodeImage("6716V31", "releases/code/dpf_6716V31.img");
        }
        m_variant = variant;
        m_engine = std::make_unique<engine_test::Engine>(ports, Tessor::schema::FUNCTION_FACTORY);
        EXPECT_TRUE(m_engine->ui().waitLayerReady());
    }

    ~DpfRoad()
    {
        m_engine.reset();
        fs::current_path(m_back);
    }

    static fs::path station()
    {
        static const fs::path folder = [] {
            const fs::path f = fs::path(engine_test::EngineEnvironment::instance().folder()) / "dpf-station-\xE5\xB7\xA5\xE4\xBD\x9C";
            makeTree(f);
            code_test::makeTree(f);
            return f;
        }();
        return folder;
    }

    engine_test::Engine& engine() { return *m_engine; }

    // Plugs a device into `port` and starts it, once it waits, with `config`
    // as the run's photo-frame settings; `more` adds to the device's keys.
    void start(int port, const Sptr<Tessor::schema::DpfConfig>& config, const engine_test::Keys& more = {})
    {
        engine_test::Keys keys = {{"Device.Variant", m_variant.chipSet}, {"Device.FlashId", "ECD35195"},
                                  {"Device.BlocksPerChip", std::to_string(kBlocks)}, {"Device.PagesPerBlock", "64"}};
        keys.insert(more.begin(), more.end());
        const std::string folder = engine_test::EngineEnvironment::instance().makeDevice(
            std::string("Dpf") + m_variant.chipSet + "-" + std::to_string(port), keys);
        std::string error;
        ASSERT_EQ(m_engine->hub().plug(port, folder, &error), 0) << error;
        ASSERT_TRUE(m_engine->waitState(port, "StateWait")) << m_engine->stateOf(port);
        // The photo-frame areas leave less room than the sample's partition
        // asks for: it takes what is left.
        m_engine->ui().getConfigInfo()->setCapacityPolicy(Tessor::schema::CAPACITY_BEGIN_IS_FIRST);
        m_engine->ui().getConfigInfo()->setDpfConfig(config);
        m_engine->request(port, Tessor::schema::UI_SIG_START);
    }

    // Waits until the port's device has left the waiting state: it took its
    // content and settings.
    void waitStarted(int port)
    {
        ASSERT_TRUE(test_support::waitUntil([&] { return m_engine->stateOf(port) != "StateWait"; },
                                            engine_test::WAIT_LIMIT));
    }

    // The port's reports once it ended built or with an error.
    std::vector<Report> finish(int port, std::chrono::seconds limit = std::chrono::seconds(120))
    {
        std::vector<Report> reports;
        const bool ended = test_support::waitUntil(
            [&] {
                reports = m_engine->ui().reports(port);
                return !reports.empty() &&
                       (reports.back().signal == Tessor::schema::UI_SIG_BUILD_OK || reports.back().code != 0);
            },
            limit);
        if (!ended) {
            ADD_FAILURE() << "port " << port << " did not end: " << m_engine->stateOf(port);
        }
        return reports;
    }

    // Produces a device on `port` with `config` to its end, which must be
    // built; its frame table (empty when there is none).
    Bytes produce(int port, const Sptr<Tessor::schema::DpfConfig>& config, const engine_test::Keys& more = {})
    {
        start(port, config, more);
        EXPECT_EQ(builtReports(port), finish(port));
        return reader(port).findDpfTable();
    }

    FlashReader reader(int port) { return FlashReader(*m_engine->hub().device(port), kBlocks, kSectorsPerBlock); }

private:
    fs::path m_back;
    Variant m_variant{};
    std::unique_ptr<engine_test::Engine> m_engine;
};

}  // namespace dpf_test
