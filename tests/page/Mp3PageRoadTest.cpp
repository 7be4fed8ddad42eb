// The values set on the MP3 page reach the MP3 record of every copy of the
// configuration table on a 6605 device produced with them, read back from
// the device's flash by the on-flash layout alone.
#include <gtest/gtest.h>

#include <QComboBox>

#include "ProducedDisk.h"
#include "page/PageMp3Setting.h"
#include "page/PageUdisk.h"
#include "platform/mfc/MessageBox.h"
#include "support/SystemAreaReader.h"

namespace {

using namespace Tessor;
using page::PageUdisk;

// Where the MP3 record starts in a 6605 table, and the bytes of the record
// the page's enabled edits land in.
constexpr int MP3_RECORD = 0x172;
struct Field {
    int control;
    int value;
    int offset;
};
constexpr Field ENABLED[] = {
    {1376, 31, 65},  // bKeyNEXT0
    {1377, 32, 68},  // bKeyPREV0
    {1378, 33, 71},  // bKeyVOLD0
    {1379, 34, 74},  // bKeyVOLU0
    {1395, 41, 77},  // bBATData0
    {1398, 44, 80},  // bBATData3
    {1302, 2, 85},   // bLedMode
};

TEST(Mp3PageRoad, TheEditedValuesReachTheMp3RecordOfEveryTableCopy)
{
    test_support::qtApp();
    auto boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    mfc::setMessageBoxService(boxes);
    produced_test::StationChipSet chipSet("6605", 2);
    bridge_test::SheetStation station(1, schema::FUNCTION_FACTORY);
    station.sheet().show();
    station.plug(0, "mp3-road", produced_test::bigDevice("6605"));
    ASSERT_TRUE(produced_test::waitReady(station, 0));
    station.sheet().SetActivePage(1);
    auto& settings = *dynamic_cast<PageUdisk*>(station.sheet().GetPage(1));
    settings.OnHotKey(PageUdisk::HOTKEY_MP3_PAGE);
    ASSERT_NE(nullptr, settings.mp3Page());
    station.sheet().SetActivePage(2);
    for (const Field& field : ENABLED) {
        settings.mp3Page()->SetDlgItemText(field.control, QString::number(field.value));
    }
    // Leaving the page writes its values into the run settings.
    station.sheet().SetActivePage(1);
    ASSERT_TRUE(settings.OnClickedApply());

    station.record(0).onUserAction(page::ACTION_START);
    ASSERT_TRUE(produced_test::waitBuilt(station, 0));
    ASSERT_EQ(0, station.hub().unplug(0));

    const system_area::SystemArea area =
        system_area::read(engine_test::EngineEnvironment::instance().folder() + "/devices/mp3-road");
    ASSERT_EQ("", area.error);
    EXPECT_EQ(std::vector<std::string>{}, area.problems);
    ASSERT_EQ(2u, area.copies.size());
    for (const system_area::Copy& copy : area.copies) {
        SCOPED_TRACE(copy.tablePage);
        for (const Field& field : ENABLED) {
            EXPECT_EQ(field.value, copy.table.at(MP3_RECORD + field.offset)) << "control " << field.control;
        }
    }
}

}  // namespace
