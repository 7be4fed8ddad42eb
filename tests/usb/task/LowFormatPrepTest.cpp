// The low-level format's preparation on a device whose block sets exist:
// the run settings refitted to the sectors the sets offer.
#include <gtest/gtest.h>

#include "schema/device/ConfigInfo.h"
#include "schema/device/DeviceFixture.h"
#include "schema/device/PartInfo.h"
#include "schema/event/DeviceEvent.h"
#include "usb/cmd/BlockSet.h"
#include "usb/cmd/SetList.h"
#include "usb/task/lFormat/TaskLfUpdateSetting.h"

using namespace Tessor;
using namespace Tessor::schema;

namespace {

class LowFormatPrepTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        UsbConfiguration::instance()->setChipSet("6716");
        giveGeometry(1, 256, 32, 4);
        Sptr<usb::SetList> list(new usb::SetList(device, "SetList"));
        Sptr<usb::BlockSet> set(new usb::BlockSet(device, "BlockSet"));
        for (int b = 0; b < 200; ++b) {
            set->addBlock(b, b + 10);
        }
        list->addData(Sptr<BaseData>(set));
        device->setSetList(list);
    }

    // Settings for a flash of `real` sectors holding one partition per size.
    void settings(int real, std::initializer_list<int> sizes)
    {
        Sptr<ConfigInfo> c(new ConfigInfo());
        c->setRealCapacity(real);
        for (int size : sizes) {
            c->addPartInfo(Sptr<PartInfo>(new PartInfo(size)));
        }
        EXPECT_EQ(device->setConfigInfo(c), 0);
    }

    int run(Sptr<BaseEvent>& event)
    {
        TaskLfUpdateSetting task(TASK_UPDATE_SETTING, "LF::UpdateSetting");
        event = Sptr<BaseEvent>(new DeviceEvent(DEV_SIG_DETECT_SPEED));
        return task.startup(device, event);
    }
};

// 200 blocks of 32 pages of 4 sectors offer 25,600 sectors; the settings
// made for twice that are halved.
TEST_F(LowFormatPrepTest, SettingsAreRefittedToTheBlockSets)
{
    settings(51200, {51200});
    Sptr<ConfigInfo> before = device->getConfigInfo();
    Sptr<BaseEvent> event;
    ASSERT_EQ(run(event), 0);
    EXPECT_EQ(event->getErrorCode(), 0);
    ASSERT_NE(device->getConfigInfo().get(), before.get());
    EXPECT_EQ(device->getConfigInfo()->getRealCapacity(), 25600);
    EXPECT_EQ(device->getConfigInfo()->getPartInfo(0)->getCapacity(), 25600u);
}

// Partitions that cannot be laid within the sets fail the device.
TEST_F(LowFormatPrepTest, PartitionsThatDoNotFitFailTheDevice)
{
    settings(0, {30000});
    Sptr<BaseEvent> event;
    EXPECT_EQ(run(event), -0x8020);
    EXPECT_EQ(event->getErrorCode(), 0x8020);
}

}  // namespace
