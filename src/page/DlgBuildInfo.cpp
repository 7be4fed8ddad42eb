#include "page/DlgBuildInfo.h"

#include <QComboBox>
#include <cstdint>

#include "page/LocaleTexts.h"
#include "platform/mfc/MessageBox.h"
#include "schema/device/ConfigInfo.h"
#include "schema/device/DiskInfo.h"
#include "schema/device/UsbDevice.h"
#include "schema/device/VersionInfo.h"
#include "usb/cfg/BuildInfo.h"
#include "usb/cfg/CfgTable.h"
#include "usb/profile/FlashInfo.h"
#include "utils/AnsiText.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using mfc::ControlKind;
using mfc::ControlTemplate;
using utils::MavikLang;

namespace {

constexpr int SECTORS_PER_MB = 2048;

// Template 162, its flash column widened for whole part numbers: the flash
// group on the left, the last build on the right.
const ControlTemplate TEMPLATE[] = {
    {1211, ControlKind::GroupBox, "Flash Information", 7, 7, 180, 112},
    {1212, ControlKind::Label, "Part Number:", 12, 22, 62, 10},
    {DlgBuildInfo::IDC_PART_NUMBER, ControlKind::ReadOnlyEdit, "", 76, 20, 100, 13},
    {1213, ControlKind::Label, "ChipsPerDisk:", 12, 37, 62, 10},
    {DlgBuildInfo::IDC_CHIPS, ControlKind::ReadOnlyEdit, "", 76, 35, 100, 13},
    {1214, ControlKind::Label, "BlockPerChip:", 12, 52, 62, 10},
    {DlgBuildInfo::IDC_BLOCKS, ControlKind::ReadOnlyEdit, "", 76, 50, 100, 13},
    {1215, ControlKind::Label, "PagesPerBlock:", 12, 67, 62, 10},
    {DlgBuildInfo::IDC_PAGES, ControlKind::ReadOnlyEdit, "", 76, 65, 100, 13},
    {1216, ControlKind::Label, "SectorsPerPage:", 12, 82, 62, 10},
    {DlgBuildInfo::IDC_SECTORS, ControlKind::ReadOnlyEdit, "", 76, 80, 100, 13},
    {1217, ControlKind::Label, "Capacity(MB):", 12, 97, 62, 10},
    {DlgBuildInfo::IDC_FLASH_CAPACITY, ControlKind::ReadOnlyEdit, "", 76, 95, 100, 13},
    {1303, ControlKind::Label, "Channel", 12, 125, 170, 10},
    {1218, ControlKind::GroupBox, "Last Build Information", 193, 7, 180, 172},
    {1310, ControlKind::Label, "Scan Level:", 198, 22, 80, 10},
    {DlgBuildInfo::IDC_SCAN_LEVEL, ControlKind::ComboEdit, "", 280, 20, 88, 13},
    {1311, ControlKind::Label, "ECC Number:", 198, 37, 80, 10},
    {DlgBuildInfo::IDC_ECC, ControlKind::ComboEdit, "", 280, 35, 88, 13},
    {1314, ControlKind::Label, "Vendor Information:", 198, 52, 80, 10},
    {DlgBuildInfo::IDC_VENDOR, ControlKind::ReadOnlyEdit, "", 280, 50, 88, 13},
    {1315, ControlKind::Label, "Product Information:", 198, 67, 80, 10},
    {DlgBuildInfo::IDC_PRODUCT, ControlKind::ReadOnlyEdit, "", 280, 65, 88, 13},
    {1316, ControlKind::Label, "Capacity(MB):", 198, 82, 80, 10},
    {DlgBuildInfo::IDC_BUILD_CAPACITY, ControlKind::ReadOnlyEdit, "", 280, 80, 88, 13},
    {1317, ControlKind::Label, "Bad Blocks:", 198, 97, 80, 10},
    {DlgBuildInfo::IDC_BAD_BLOCKS, ControlKind::ReadOnlyEdit, "", 280, 95, 88, 13},
    {1313, ControlKind::Label, "SerialNo:", 198, 112, 80, 10},
    {DlgBuildInfo::IDC_SERIAL, ControlKind::ReadOnlyEdit, "", 280, 110, 88, 13},
    {1312, ControlKind::Label, "Format Time:", 198, 127, 80, 10},
    {DlgBuildInfo::IDC_FORMAT_TIME, ControlKind::ReadOnlyEdit, "", 280, 125, 88, 13},
    {1320, ControlKind::Label, "Firmware Version:", 198, 142, 80, 10},
    {DlgBuildInfo::IDC_FIRMWARE_VERSION, ControlKind::ReadOnlyEdit, "", 280, 140, 88, 13},
    {1318, ControlKind::Label, "Build Tool Version:", 198, 157, 80, 10},
    {DlgBuildInfo::IDC_TOOL_VERSION, ControlKind::ReadOnlyEdit, "", 280, 155, 88, 13},
    {mfc::IDOK, ControlKind::Button, "OK", 7, 165, 50, 14},
};

}  // namespace

DlgBuildInfo::DlgBuildInfo(QWidget* parent) : CDialog(parent)
{
    setWindowFlags(Qt::Dialog);
    createControls(TEMPLATE);
    setFixedSize(dluToPixels(380), dluToPixels(186));
    onClicked(mfc::IDOK, [this] { EndDialog(mfc::IDOK); });
}

bool DlgBuildInfo::OnInitDialog()
{
    setTexts();
    if (device == nullptr) {
        return true;
    }
    showFlash();
    showBuild();
    return true;
}

void DlgBuildInfo::setTexts()
{
    setWindowTitle(MavikLang::text("Chip Information"));
    static const ControlText labels[] = {
        {1303, "Channel"},           {1211, "Flash Information"},  {1212, "Part Number:"},
        {1213, "ChipsPerDisk:"},     {1214, "BlockPerChip:"},      {1215, "PagesPerBlock:"},
        {1216, "SectorsPerPage:"},   {1217, "Capacity(MB):"},      {1218, "Last Build Information"},
        {1310, "Scan Level:"},       {1311, "ECC Number:"},        {1314, "Vendor Information:"},
        {1315, "Product Information:"}, {1316, "Capacity(MB):"},   {1317, "Bad Blocks:"},
        {1313, "SerialNo:"},         {1312, "Format Time:"},       {1320, "Firmware Version:"},
        {1318, "Build Tool Version:"}};
    setLocaleTexts(*this, labels);
}

void DlgBuildInfo::showFlash()
{
    Sptr<usb::FlashInfo> flash = device->getFlashInfo();
    Sptr<schema::DiskInfo> disk = device->getDiskInfo();
    Sptr<schema::ConfigInfo> settings = device->getConfigInfo();
    if (flash) {
        SetDlgItemText(IDC_PART_NUMBER, utils::fromAnsi(flash->getChipInfo()->PartNumber));
        SetDlgItemInt(IDC_CHIPS, flash->getChipsPerDisk());
    }
    if (disk) {
        const bool tlc = flash && flash->getChipInfo()->TLC == 1;
        const usb::_FLASH_CHIP_INFO* part = flash ? flash->getChipInfo() : nullptr;
        const int blocks = tlc ? part->RealBlockPerChip : disk->getBlocksPerChip();
        const int pages = tlc ? part->RealPagePerBlock : disk->getPagesPerBlock();
        const int sectors = tlc ? part->SectorPerPage : disk->getSectorsPerPage();
        SetDlgItemInt(IDC_BLOCKS, blocks);
        SetDlgItemInt(IDC_PAGES, pages);
        SetDlgItemInt(IDC_SECTORS, sectors);
        const int64_t total = int64_t(disk->getChipsPerDisk()) * blocks * pages * sectors;
        SetDlgItemText(IDC_FLASH_CAPACITY, QString::number(total / SECTORS_PER_MB));
    }
    if (settings) {
        SetDlgItemText(IDC_PRODUCT, utils::fromAnsi(settings->getProductString()));
        SetDlgItemText(IDC_VENDOR, utils::fromAnsi(settings->getVendorString()));
        SetDlgItemText(IDC_SERIAL, utils::fromAnsi(settings->getSerialNoLabel()));
    }
}

void DlgBuildInfo::showBuild()
{
    Sptr<schema::VersionInfo> version = device->getVersion();
    if (!version || !version->checkCfgTable()) {
        return;
    }
    Sptr<usb::CfgTable> table = device->getCfgTable();
    Sptr<usb::BuildInfo> build = table ? table->getBuildInfo() : Sptr<usb::BuildInfo>();
    if (!build) {
        return;
    }
    SetDlgItemText(IDC_TOOL_VERSION, QString::fromLatin1(build->getToolVersion().getVersionString()));
    SetDlgItemText(IDC_FIRMWARE_VERSION, QString::number(build->getCodeVersion()));
    if (Sptr<schema::SystemClock> time = build->getBuildTime()) {
        SetDlgItemText(IDC_FORMAT_TIME, QString::asprintf("%4d-%2d-%2d %2d:%2d:%2d", time->year, time->month,
                                                          time->day, time->hour, time->minute, time->second));
    }
    SetDlgItemText(IDC_ECC, QString::number(build->getEccBytes()));
    SetDlgItemText(IDC_SCAN_LEVEL, QString::number(build->getScanLevel()));
    SetDlgItemInt(IDC_BAD_BLOCKS, static_cast<int>(build->getBadSectors()));
    SetDlgItemText(IDC_BUILD_CAPACITY, QString::number(static_cast<int>(build->getRealCapacity()) / SECTORS_PER_MB));
}

}  // namespace Tessor::page
