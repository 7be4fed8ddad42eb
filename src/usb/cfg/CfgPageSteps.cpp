#include "usb/cfg/CfgPageSteps.h"

#include "schema/base/Log.h"
#include "usb/cfg/EccRule.h"

namespace Tessor::usb {

namespace {

constexpr int kStages8 = 11;
constexpr int kSteps8 = 32;
constexpr int kStagesV31 = 6;

}  // namespace

bool CfgPageSteps::cfgTable8StepCheck(int n)
{
    if (n < 0) {
        return false;
    }
    for (int r = 0; r < kStages8; ++r) {
        for (int k = 0; k < kSteps8; ++k) {
            const int x = 1024 * ((1 << r) - 1) + k * (32 << r) + k % 2;
            if (n == x) {
                return true;
            }
            if (n < x) {
                return false;
            }
        }
    }
    return false;
}

bool CfgPageSteps::v31CfgTable8stepCheck(int n, uint8_t m)
{
    const uint32_t target = static_cast<uint32_t>(n);
    const uint32_t base = m > 1 ? 128 : 64;
    const int perStage = m > 1 ? 128 : 256;
    uint32_t x = 0;
    for (int t = 0; t < kStagesV31 * perStage; ++t) {
        if (x == target) {
            return true;
        }
        if (x > target) {
            return false;
        }
        x += (base << (t / perStage)) + 13;
    }
    return false;
}

uint8_t CfgPageSteps::v31Mode(int flashMode, int eccOpen, int sectorsPerPage, uint32_t flashId)
{
    const int e = usesTwelveBitEcc(sectorsPerPage, flashId) ? 1 : eccOpen;
    const uint8_t m = static_cast<uint8_t>(2 * flashMode + e);
    CPLOG(7, "bCnt = %d   EccOpen = %d", m, e);
    return m;
}

}  // namespace Tessor::usb
