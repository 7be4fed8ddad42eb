// The login road at the most verbose log level: no password, whether the one
// typed, the one the device holds or the new one, reaches the log.
#include "schema/ui/EngineHarness.h"
#include "support/LogCapture.h"
#include "support/Waits.h"
#include "usb/cfg/CfgTable.h"

namespace {

using namespace engine_test;

const char* const HELD = "0ldSecret7";
const char* const TYPED_WRONG = "Wr0ngGuess3";
const char* const NEW = "N3wSecret9";

// A start as the login page sends it.
void login(Engine& engine, int port, const char* password, int op, const char* newPassword)
{
    Sptr<ConfigInfo> settings(new ConfigInfo());
    settings->setPassword(password);
    settings->setNewPassword(newPassword);
    settings->setLoginOp(op);
    Sptr<UiEvent> start(new UiEvent(UI_SIG_START));
    start->setDevice(engine.slot(port));
    start->setConfigInfo(settings);
    engine.slot(port)->reportEvent(Sptr<BaseEvent>(start));
}

TEST(LoginLogTest, NoPasswordReachesTheLogAtAnyLevel)
{
    EngineEnvironment& environment = EngineEnvironment::instance();
    const test_support::LogCapture log(LOG_DHB);
    Engine engine(2, FUNCTION_FACTORY);
    ASSERT_TRUE(engine.ui().waitLayerReady());
    std::string error;
    for (int port : {0, 1}) {
        const std::string device = environment.makeDevice("login" + std::to_string(port));
        ASSERT_EQ(engine.hub().plug(port, device, &error), 0) << error;
        ASSERT_TRUE(engine.waitState(port, "StateWait")) << engine.stateOf(port);
        // Both as produced devices: a table and the password they were given.
        UsbDevice* slot = engine.slot(port);
        slot->setCfgTable(
            Sptr<Tessor::usb::CfgTable>(new Tessor::usb::CfgTable(slot, "CfgTable", Tessor::usb::CFG_TABLE_DEVICE)));
        Sptr<ConfigInfo> held(new ConfigInfo());
        held->setPassword(HELD);
        ASSERT_EQ(slot->setConfigInfo(held), 0);
    }
    UsbConfiguration::instance()->setCurrentFunction(FUNCTION_LOGIN);

    login(engine, 0, TYPED_WRONG, 1, "");
    EXPECT_TRUE(engine.ui().waitReports(0, {{UI_SIG_FOUND, 0, 0}, {UI_SIG_READY, 0, 0}, {UI_SIG_STATUS, 0, 0x803e}}))
        << ::testing::PrintToString(engine.ui().reports(0));
    login(engine, 1, HELD, 3, NEW);
    ASSERT_TRUE(test_support::waitUntil([&] { return log.contains("Modify Password as"); }, WAIT_LIMIT)) << log.text();
    for (int port : {0, 1}) {
        ASSERT_TRUE(engine.waitSlotIdle(port));
    }

    const std::string text = log.text();
    EXPECT_NE(std::string::npos, text.find("Password of Hid Lun '******' is not validate, it should be ******"));
    EXPECT_NE(std::string::npos, text.find("Password of Hid Lun '******' is validate"));
    EXPECT_NE(std::string::npos, text.find("Modify Password as '******' is validate"));
    for (const char* password : {HELD, TYPED_WRONG, NEW}) {
        EXPECT_EQ(std::string::npos, text.find(password)) << password;
    }
}

}  // namespace
