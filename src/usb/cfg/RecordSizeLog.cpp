#include "usb/cfg/RecordSizeLog.h"

#include "schema/base/Log.h"

namespace Tessor::usb {

namespace {

const char* typeSuffix(CfgVariant variant)
{
    switch (variant) {
    case CfgVariant::V6706: return " 6706";
    case CfgVariant::V6716: return " 6716";
    case CfgVariant::V6716V31: return "_6716_V31";
    case CfgVariant::V6716V32: return "_6716_V32";
    case CfgVariant::V6726: return "_6726";
    case CfgVariant::V6605: return " 6605";
    }
    return "";
}

}  // namespace

int RecordSizeLog::logged(const char* record, CfgVariant variant, bool packs, int len)
{
    // 6706 names the read in its own words.
    if (!packs && variant == CfgVariant::V6706) {
        CPLOG(7, "sizeof %s%s reverseSerialize is %d", record, typeSuffix(variant), len);
    } else {
        CPLOG(7, "sizeof %s%s is %d", record, typeSuffix(variant), len);
    }
    return len;
}

}  // namespace Tessor::usb
