// Eight ports plugged and pulled at random, down to 10 ms apart, with quick
// swaps, devices that fail their identification and start requests sent in
// every state; the window's default handling answers every report. Each
// device must be reported found once and gone once, in order, on its port.
//
// Seeded and bounded for the suite; by hand:
//   TESSOR_SOAK_SECONDS=600 TESSOR_SOAK_SEED=7 engine_soak_tests
#include <random>
#include <thread>

#include "EngineHarness.h"
#include "support/Waits.h"

namespace {

using namespace engine_test;

constexpr int PORTS = 8;

long fromEnvironment(const char* name, long fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::strtol(value, nullptr, 10) : fallback;
}

// A healthy device and one that fails its identification, per port.
std::vector<std::string> portDevices(int port)
{
    static const Keys FAULTS[] = {
        {{"Device.FlashId", "ECDA1095"}},          {{"Faults.FailReadVersion", "always"}},
        {{"Device.Variant", "6726"}},              {{"Faults.FailTableToRam", "always"}},
        {{"Faults.FailCodeDownload", "always"}},
    };
    EngineEnvironment& environment = EngineEnvironment::instance();
    const std::string name = "soak" + std::to_string(port);
    return {environment.makeDevice(name + "a"), environment.makeDevice(name + "b", FAULTS[port % 5])};
}

// Found and gone alternate, and every found device is next ready or failed.
void checkPort(int port, const std::vector<Report>& reports, int plugs)
{
    SCOPED_TRACE("port " + std::to_string(port));
    int found = 0;
    int gone = 0;
    bool plugged = false;
    bool identified = true;
    for (const Report& report : reports) {
        switch (report.signal) {
        case UI_SIG_FOUND:
            ASSERT_FALSE(plugged) << "found twice without a removal";
            plugged = true;
            identified = false;
            ++found;
            break;
        case UI_SIG_READY:
        case UI_SIG_STATUS:
            identified = true;
            break;
        case UI_SIG_PLUGGED_OFF:
            ASSERT_TRUE(plugged) << "gone without being found";
            ASSERT_TRUE(identified) << "gone before it was ready or failed";
            plugged = false;
            ++gone;
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(found, plugs);
    EXPECT_EQ(gone, plugs);
}

TEST(EngineSoakTest, RandomPlugsPullsSwapsAndStartsLoseNoDevice)
{
    const long seconds = fromEnvironment("TESSOR_SOAK_SECONDS", 30);
    const unsigned seed = static_cast<unsigned>(fromEnvironment("TESSOR_SOAK_SEED", 20261210));
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    EngineEnvironment::instance();
    Engine engine(PORTS, FUNCTION_FACTORY);
    engine.ui().setAnswering(true);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::vector<std::vector<std::string>> devices;
    for (int port = 0; port < PORTS; ++port) {
        devices.push_back(portDevices(port));
    }
    std::vector<int> plugs(PORTS, 0);
    std::vector<bool> full(PORTS, false);
    std::string error;
    auto plug = [&](int port) {
        const std::string& folder = devices[port][random() % 2];
        ASSERT_EQ(engine.hub().plug(port, folder, &error), 0) << error;
        ++plugs[port];
        full[port] = true;
    };
    auto pull = [&](int port) {
        ASSERT_EQ(engine.hub().unplug(port), 0);
        full[port] = false;
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        const int port = static_cast<int>(random() % PORTS);
        switch (random() % 4) {
        case 0:
            // A swap: pulled, and another device in at once or within a
            // second, often before the window has answered the removal.
            if (full[port]) {
                pull(port);
                std::this_thread::sleep_for(std::chrono::milliseconds(random() % 2 == 0 ? 0 : random() % 1000));
                plug(port);
            }
            break;
        case 1:
            for (unsigned n = 1 + random() % 3; n > 0; --n) {
                engine.request(port, UI_SIG_START);
            }
            break;
        default:
            if (full[port]) {
                pull(port);
            } else {
                plug(port);
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10 + random() % 190));
    }
    for (int port = 0; port < PORTS; ++port) {
        if (full[port]) {
            pull(port);
        }
    }
    // Every device left must have been reported gone.
    auto goneCount = [&](int port) {
        int gone = 0;
        for (const Report& report : engine.ui().reports(port)) {
            gone += report.signal == UI_SIG_PLUGGED_OFF ? 1 : 0;
        }
        return gone;
    };
    EXPECT_TRUE(test_support::waitUntil(
        [&] {
            for (int port = 0; port < PORTS; ++port) {
                if (goneCount(port) < plugs[port]) {
                    return false;
                }
            }
            return true;
        },
        WAIT_LIMIT))
        << "a pulled device was not reported gone";
    for (int port = 0; port < PORTS; ++port) {
        checkPort(port, engine.ui().reports(port), plugs[port]);
        EXPECT_TRUE(engine.waitState(port, "StateUnplug")) << engine.stateOf(port);
    }
}

}  // namespace
