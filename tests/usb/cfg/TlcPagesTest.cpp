#include <gtest/gtest.h>

#include "schema/device/BaseAddress.h"
#include "schema/device/DeviceFixture.h"
#include "usb/cfg/AllocatAddress.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgTable.h"
#include "usb/cfg/CmdExternalCode.h"
#include "usb/cfg/TlcPages.h"

using Tessor::schema::BaseAddress;
using Tessor::usb::TlcPages;

namespace {

TEST(TlcPagesTest, PartnerTable)
{
    struct Case {
        int realPages;
        std::vector<std::pair<int, int>> partners;
        std::vector<int> none;
    };
    const Case cases[] = {
        {192, {{4, 1}, {7, 3}, {10, 6}, {190, 186}, {191, 189}}, {0, 1, 2, 3, 5, 6, 8, 189, 192}},
        {94, {{6, 2}, {9, 5}, {93, 89}}, {0, 1, 2, 3, 4, 5, 7, 8, 92, 94, 96}},
        {128, {}, {4, 6, 7, 10, 127}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.realPages);
        for (auto [p, q] : c.partners) {
            EXPECT_EQ(TlcPages::partnerPage(c.realPages, p), q) << p;
        }
        for (int p : c.none) {
            EXPECT_EQ(TlcPages::partnerPage(c.realPages, p), -1) << p;
        }
    }
    int partners = 0;
    for (int p = 0; p < 192; ++p) {
        partners += TlcPages::partnerPage(192, p) >= 0 ? 1 : 0;
    }
    EXPECT_EQ(partners, 64);  // 4, 191 and 62 of the 7 + 3j pages
}

class TlcOnDevice : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        giveGeometry(2, 64, 256, 4);
        device->getFlashInfo()->getChipInfo()->TLC = 1;
        device->getFlashInfo()->getChipInfo()->RealPagePerBlock = 192;
    }
    Sptr<BaseAddress> at(int diskBlock, int page, int sector = 0)
    {
        return Sptr<BaseAddress>(new BaseAddress(device, diskBlock, page, sector));
    }
};

// A duplicate goes to the partner in the target's own chip and block,
// unless a system page sits there; system pages of other blocks and
// missing ones do not matter.
TEST_F(TlcOnDevice, DuplicateOnlyWhereNoSystemPageSits)
{
    Sptr<BaseAddress> partner = TlcPages::_allocatAdd(device, {at(21, 6), Sptr<BaseAddress>()}, at(64 + 20, 10, 2));
    ASSERT_TRUE(partner);
    EXPECT_EQ(partner->getChipNo(), 1);
    EXPECT_EQ(partner->getBlockNo(), 20);
    EXPECT_EQ(partner->getPageNo(), 6);
    EXPECT_EQ(partner->getSectorNo(), 2);

    EXPECT_FALSE(TlcPages::_allocatAdd(device, {at(21, 6), at(20, 6)}, at(20, 10)));
    EXPECT_FALSE(TlcPages::_allocatAdd(device, {}, at(20, 9)));
}

// Every copy of the system area counts, the photo-frame code pages among
// them.
TEST_F(TlcOnDevice, SystemPagesOfEveryCopyCount)
{
    for (int copy = 0; copy < 2; ++copy) {
        Sptr<Tessor::usb::AllocatAddress> set(new Tessor::usb::AllocatAddress());
        set->setBuildInfoAddress(at(30 + copy, 6));
        Sptr<BaseAddress> dpf = at(40 + copy, 0);
        dpf->addData(Sptr<Tessor::schema::BaseData>(at(40 + copy, 3)));
        set->setDpfCodeAddress(dpf);
        device->getAllocatAddress()->addData(Sptr<Tessor::schema::BaseData>(set));
    }
    EXPECT_FALSE(TlcPages::_allocatAdd(device, at(31, 10)));
    EXPECT_FALSE(TlcPages::_allocatAdd(device, at(41, 7)));
    EXPECT_TRUE(TlcPages::_allocatAdd(device, at(32, 10)));
}

// A user or login run allocates no address set: the pages of the table the
// device holds and of the objects it lists count.
TEST_F(TlcOnDevice, PagesOfTheHeldTableCountWithoutAddressSets)
{
    Sptr<Tessor::usb::CfgTable> table = device->getCfgTable();
    ASSERT_TRUE(table);
    table->setAddress(at(50, 3));
    Sptr<BaseAddress> code = at(0, 0);
    code->addData(Sptr<Tessor::schema::BaseData>(at(51, 6)));
    device->getExternalCode()->setAddress(code);
    table->getBuildInfo()->setAddress(at(52, 6));
    ASSERT_EQ(device->getAllocatAddress()->getCount(), 0);

    EXPECT_FALSE(TlcPages::_allocatAdd(device, at(50, 7)));
    EXPECT_FALSE(TlcPages::_allocatAdd(device, at(51, 10)));
    EXPECT_FALSE(TlcPages::_allocatAdd(device, at(52, 10)));
    EXPECT_TRUE(TlcPages::_allocatAdd(device, at(53, 10)));
}

}  // namespace
