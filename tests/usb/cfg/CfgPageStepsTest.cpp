#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "usb/cfg/CfgPageSteps.h"

using Tessor::usb::CfgPageSteps;

namespace {

// Every listed position is allowed and its neighbours that are not
// positions are refused.
void expectExactly(const std::set<int>& positions, const std::function<bool(int)>& allowed)
{
    for (int x : positions) {
        ASSERT_TRUE(allowed(x)) << x;
        for (int y : {x - 1, x + 1}) {
            if (positions.count(y) == 0) {
                ASSERT_FALSE(allowed(y)) << y;
            }
        }
    }
}

TEST(CfgPageStepsTest, EightStepPositions)
{
    std::set<int> positions;
    const int stageStarts[] = {0, 1024, 3072, 7168, 15360, 31744, 64512, 130048, 261120, 523264, 1047552};
    for (int r = 0; r < 11; ++r) {
        for (int k = 0; k < 32; ++k) {
            positions.insert(stageStarts[r] + k * (32 << r) + k % 2);
        }
    }
    EXPECT_EQ(positions.size(), 352u);
    EXPECT_EQ(*positions.rbegin(), CfgPageSteps::LAST_8_STEP);
    expectExactly(positions, &CfgPageSteps::cfgTable8StepCheck);
    for (int n : {0, 33, 64, 97, 993, 1024, 1089, 2063361}) {
        EXPECT_TRUE(CfgPageSteps::cfgTable8StepCheck(n)) << n;
    }
    for (int n : {1, 32, 34, 994, 1023, 2063362, -1, -1024}) {
        EXPECT_FALSE(CfgPageSteps::cfgTable8StepCheck(n)) << n;
    }
}

TEST(CfgPageStepsTest, V31PositionsForBothModes)
{
    struct Case {
        uint8_t m;
        int base, perStage;
        std::vector<int> stageStarts;
        int last;
        size_t count;
    };
    const Case cases[] = {
        {1, 64, 256, {0, 19712, 55808, 124672, 259072, 524544}, 1050099, 1536},
        {2, 128, 128, {0, 18048, 52480, 119680, 252416, 516224}, 1038067, 768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.m));
        std::set<int> positions;
        for (int r = 0; r < 6; ++r) {
            for (int j = 0; j < c.perStage; ++j) {
                positions.insert(c.stageStarts[r] + j * ((c.base << r) + 13));
            }
        }
        EXPECT_EQ(positions.size(), c.count);
        EXPECT_EQ(*positions.rbegin(), c.last);
        expectExactly(positions, [&c](int n) { return CfgPageSteps::v31CfgTable8stepCheck(n, c.m); });
        EXPECT_FALSE(CfgPageSteps::v31CfgTable8stepCheck(c.last + c.base * 32 + 13, c.m));
    }
    EXPECT_TRUE(CfgPageSteps::v31CfgTable8stepCheck(19853, 0));
    EXPECT_FALSE(CfgPageSteps::v31CfgTable8stepCheck(77, 3));
    EXPECT_FALSE(CfgPageSteps::v31CfgTable8stepCheck(-1, 0));
}

TEST(CfgPageStepsTest, ModeTakesTwelveBitCorrectionAsEccOpen)
{
    // 8-sector pages of a part outside the 7-bit list: e = 1 whatever the record says.
    EXPECT_EQ(CfgPageSteps::v31Mode(0, 0, 8, 0x98DE9493u), 1);
    EXPECT_EQ(CfgPageSteps::v31Mode(0, 0, 8, 0xECD514B6u), 0);
    EXPECT_EQ(CfgPageSteps::v31Mode(1, 0, 4, 0x98DE9493u), 2);
    EXPECT_EQ(CfgPageSteps::v31Mode(1, 1, 4, 0x98DE9493u), 3);
}

}  // namespace
