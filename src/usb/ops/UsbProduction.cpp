#include "usb/ops/UsbProduction.h"

#include <string>

#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDeviceMgr.h"
#include "schema/dpf/DpfDataFactory.h"
#include "schema/state/DeviceStateType.h"
#include "schema/state/StateOperators.h"
#include "usb/cfg/CodeFactory.h"
#include "usb/cfg/UsbDeviceRecords.h"
#include "usb/ops/hFormat/UsbOpHfFormatAllPartitions.h"
#include "usb/ops/hFormat/UsbOpHfTestUDisk.h"
#include "usb/ops/hw/UsbOpHwEject.h"
#include "usb/ops/hw/UsbOpHwPlugin.h"
#include "usb/ops/hw/UsbOpHwRemove.h"
#include "usb/ops/init/UsbOpReadFlashId.h"
#include "usb/ops/init/UsbOpReadVersion.h"
#include "usb/ops/lFormat/UsbOpLfCreateBlockSet.h"
#include "usb/ops/lFormat/UsbOpLfCreateIndexMap.h"
#include "usb/ops/lFormat/UsbOpLfVerifyData.h"
#include "usb/ops/lFormat/UsbOpLfWriteData.h"
#include "usb/ops/scan/UsbOpScanAfterProcess.h"
#include "usb/ops/scan/UsbOpScanDetectSpeed.h"
#include "usb/ops/scan/UsbOpScanDetermineMode.h"
#include "usb/ops/scan/UsbOpScanDummyBitmap.h"
#include "usb/ops/scan/UsbOpScanPrepare.h"
#include "usb/ops/scan/UsbOpScanProcess.h"
#include "usb/ops/scan/UsbOpScanSaveBitmap.h"
#include "usb/ops/ui/UsbOpReportError.h"
#include "usb/ops/ui/UsbOpUiCancelProduct.h"
#include "usb/ops/ui/UsbOpUiEjectDisk.h"
#include "usb/ops/ui/UsbOpUiReleased.h"
#include "usb/ops/ui/UsbOpUiStartProduct.h"
#include "usb/profile/ProfileSettingsStore.h"
#include "usb/scan/SampleFactory.h"

namespace Tessor::usb {

namespace {

using schema::StateOperators;

template <typename Op>
Sptr<schema::BaseOperator> make()
{
    return Sptr<schema::BaseOperator>(new Op());
}

void installStateOperators()
{
    const auto entry = StateOperators::ENTRY;
    const auto pass = StateOperators::PASS;
    StateOperators::set(schema::STATE_UNPLUG, pass, {&make<UsbOpHwPlugin>});
    StateOperators::set(schema::STATE_INIT, pass,
                        {&make<UsbOpReadVersion>, &make<UsbOpReadFlashId>, &make<UsbOpHwRemove>,
                         &make<UsbOpUiReleased>, &make<UsbOpUiEjectDisk>});
    StateOperators::set(schema::STATE_WAIT, pass,
                        {&make<UsbOpHwPlugin>, &make<UsbOpHwRemove>, &make<UsbOpUiStartProduct>,
                         &make<UsbOpUiReleased>, &make<UsbOpUiEjectDisk>});
    StateOperators::set(schema::STATE_SCAN, entry, {&make<UsbOpScanPrepare>});
    StateOperators::set(schema::STATE_SCAN, pass,
                        {&make<UsbOpScanDetectSpeed>, &make<UsbOpScanDetermineMode>, &make<UsbOpScanProcess>,
                         &make<UsbOpScanAfterProcess>, &make<UsbOpScanDummyBitmap>, &make<UsbOpScanSaveBitmap>,
                         &make<UsbOpHwRemove>, &make<UsbOpUiCancelProduct>, &make<UsbOpUiReleased>});
    StateOperators::set(schema::STATE_LOW_FORMAT, pass,
                        {&make<UsbOpLfCreateBlockSet>, &make<UsbOpLfCreateIndexMap>, &make<UsbOpLfWriteData>,
                         &make<UsbOpLfVerifyData>, &make<UsbOpHwRemove>, &make<UsbOpUiCancelProduct>,
                         &make<UsbOpUiReleased>});
    StateOperators::set(schema::STATE_HIGH_FORMAT, pass,
                        {&make<UsbOpUiCancelProduct>, &make<UsbOpHwRemove>, &make<UsbOpUiReleased>,
                         &make<UsbOpHfTestUDisk>, &make<UsbOpHfFormatAllPartitions>});
    StateOperators::set(schema::STATE_BUILD_DPF, pass,
                        {&make<UsbOpHwRemove>, &make<UsbOpUiCancelProduct>, &make<UsbOpUiReleased>});
    StateOperators::set(schema::STATE_BUILD_OK, pass,
                        {&make<UsbOpHwRemove>, &make<UsbOpUiStartProduct>, &make<UsbOpUiReleased>,
                         &make<UsbOpUiEjectDisk>});
    StateOperators::set(schema::STATE_EJECT, pass,
                        {&make<UsbOpHwEject>, &make<UsbOpHwRemove>, &make<UsbOpUiReleased>, &make<UsbOpHwPlugin>});
    StateOperators::set(schema::STATE_ERROR, entry, {&make<UsbOpReportError>});
    StateOperators::set(schema::STATE_ERROR, pass,
                        {&make<UsbOpUiStartProduct>, &make<UsbOpHwRemove>, &make<UsbOpUiReleased>,
                         &make<UsbOpUiEjectDisk>});
}

// Only photo frames read the photo-frame pictures and fonts.
int startPhotoFrameData(std::string* cause)
{
    if (!schema::UsbConfiguration::instance()->isDpfSupport()) {
        return 0;
    }
    const int result = schema::DpfDataFactory::instance()->init();
    if (result != 0) {
        *cause = "photo-frame data cannot be read (error " + std::to_string(result) + ")";
        CPLOG(3, "DPF Menu Factory initialized fail : %d", result);
    }
    return result;
}

// A station needs its firmware images and its scan sample.
int startCodeFactory(std::string* cause)
{
    const int result = CodeFactory::init(cause);
    if (result != 0) {
        CPLOG(3, "CodeFactory initialized fail : %d", result);
        delete CodeFactory::instance();
    }
    return result;
}

int startSampleFactory(std::string* cause) { return SampleFactory::init(cause); }

}  // namespace

void installUsbProduction()
{
    static const UsbDeviceRecords records;
    schema::DeviceRecords::install(&records);
    installStateOperators();
    schema::SettingsStore::install(&ProfileSettingsStore::make);
    schema::UsbDeviceMgr::setStartSteps({&startPhotoFrameData, &startCodeFactory, &startSampleFactory});
}

}  // namespace Tessor::usb
