// The partitions edited on the production-settings page drive a simulated
// device through the whole road: the units on its flash afterwards carry
// the labels and sizes set on the page, as the outside tools read them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include "ProducedDisk.h"
#include "page/PageUdisk.h"
#include "platform/mfc/MessageBox.h"
#include "support/TempFolder.h"
#include "utils/AnsiText.h"

namespace {

using namespace Tessor;
using page::PageUdisk;

constexpr int MB = 2048;

TEST(PartitionEditorRoad, TheProducedUnitsCarryTheEditedLabelsAndSizes)
{
    test_support::qtApp();
    auto boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    mfc::setMessageBoxService(boxes);
    bridge_test::SheetStation station(1, schema::FUNCTION_FACTORY);
    station.sheet().show();
    station.plug(0, "editor-road", produced_test::bigDevice());
    ASSERT_TRUE(produced_test::waitReady(station, 0));
    // Shown now, the page takes the plugged device's capacity.
    station.sheet().SetActivePage(1);
    auto& page = *dynamic_cast<PageUdisk*>(station.sheet().GetPage(1));
    auto edit = [&](int id) -> QLineEdit& { return *static_cast<QLineEdit*>(page.GetDlgItem(id)); };
    ASSERT_EQ(32, edit(1173).text().toInt());

    static_cast<QComboBox*>(page.GetDlgItem(1174))->setCurrentIndex(1);
    page.OnSelChangePartitionCount();
    edit(1176).setText("8");
    // Labels are cut at 11 bytes of the code page.
    edit(1179).setText("FIRSTVOLUME1");
    edit(1180).setText(QString::fromUtf8("数据盘ABCDEF"));
    EXPECT_EQ("FIRSTVOLUME", edit(1179).text());
    const std::string second = utils::toAnsi(QString::fromUtf8("数据盘ABCDE"));
    EXPECT_EQ(second, utils::toAnsi(edit(1180).text()));
    // The first partition keeps its size, the second takes what is left.
    static_cast<QAbstractButton*>(page.GetDlgItem(PageUdisk::POLICY_RATIONAL_RADIO + 1))->click();
    ASSERT_TRUE(page.OnClickedApply());
    ASSERT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("; ").toStdString();

    station.record(0).onUserAction(page::ACTION_START);
    ASSERT_TRUE(produced_test::waitBuilt(station, 0));
    ASSERT_EQ(0, station.hub().unplug(0));

    test_support::TempFolder out;
    const std::string device = engine_test::EngineEnvironment::instance().folder() + "/devices/editor-road";
    const std::vector<produced_test::UnitImage> units = produced_test::exportUnits(device, out.path());
    ASSERT_EQ(2u, units.size());
    EXPECT_EQ(8 * MB, units[0].sectors);
    EXPECT_GT(units[1].sectors, 0);
    EXPECT_LE(units[0].sectors + units[1].sectors, 32 * MB);
    const std::string labels[] = {"FIRSTVOLUME", second};
    for (size_t i = 0; i < units.size(); ++i) {
        SCOPED_TRACE(units[i].path);
        produced_test::expectSoundVolume(units[i].path, i == 1);
        EXPECT_EQ(labels[i], produced_test::volumeLabel(units[i].path));
    }
}

}  // namespace
