#include "page/PageMp3Setting.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <map>
#include <vector>

#include "page/NumberEdit.h"
#include "schema/device/Mp3Config.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

using schema::Mp3Block;
using schema::Mp3Config;

namespace {

enum Block { SYS, DEC, REC, SDC, SPI, I2C, LCM, KEY };

struct Mp3Control {
    Block block;
    const char* field;
    int id;
    bool check;
    const char* label;
    const char* group;
    bool enabled;
};

// In the order the page writes and reads them.
const Mp3Control CONTROLS[] = {
    {SYS, "NandEn", 1316, true, "Nand", "系统设置", false},
    {SYS, "CardEn", 1318, true, "Card", "系统设置", false},
    {SYS, "TwiEn", 1056, true, "I2C", "系统设置", false},
    {SYS, "LcmEn", 1057, true, "LCM", "系统设置", false},
    {SYS, "RecEn", 1058, true, "REC", "系统设置", false},
    {SYS, "FmEn", 1063, true, "FM", "系统设置", false},
    {SYS, "KeyEn", 1059, true, "KEY", "系统设置", false},
    {DEC, "bDecStaBufNum", 1310, false, "开始号", "DEC配置", false},
    {DEC, "bDecUseBufNum", 1311, false, "BUF数", "DEC配置", false},
    {DEC, "bBufMsk", 1312, false, "BUF掩码", "DEC配置", false},
    {DEC, "bBufSize", 1314, false, "BUF大小", "DEC配置", false},
    {DEC, "bBGPlay", 1313, false, "后台播放", "DEC配置", false},
    {REC, "bShiftNum", 1320, false, "填充数", "REC设置", false},
    {REC, "bQuanMode", 1322, false, "采样率", "REC设置", false},
    {REC, "bLeftEn", 1064, true, "左声道", "REC设置", false},
    {REC, "bRightEn", 1071, true, "右声道", "REC设置", false},
    {SDC, "bClkPin", 1324, false, "CLKPin", "SDC设置", false},
    {SDC, "bInClkInv", 1325, false, "InClk", "SDC设置", false},
    {SDC, "bSdcBusWide", 1333, false, "总线宽度", "SDC设置", false},
    {SDC, "bSdcStaBufNum", 1327, false, "开始号", "SDC设置", false},
    {SDC, "bDetMode", 1335, false, "检测方式", "SDC设置", false},
    {SDC, "wCmdRetry", 1323, false, "重发次数", "SDC设置", false},
    {SDC, "bWorkClk", 1326, false, "工作时钟", "SDC设置", false},
    {SDC, "bLowPowr", 1334, false, "低功耗", "SDC设置", false},
    {SDC, "bSdcUseBufNum", 1336, false, "BUF数", "SDC设置", false},
    {SPI, "bBufNum", 1351, false, "BUF号", "SPI配置", false},
    {SPI, "bClkDivide", 1355, false, "分频数", "SPI配置", false},
    {SPI, "bSpmCsSel", 1357, false, "CS选择", "SPI配置", false},
    {SPI, "bMClkPhase", 1352, false, "时钟相位", "SPI配置", false},
    {SPI, "bMLsbMsb", 1354, false, "MSB/LSB", "SPI配置", false},
    {SPI, "bClkParit", 1356, false, "时钟极性", "SPI配置", false},
    {SPI, "wProgLen", 1358, false, "编程长度", "SPI配置", false},
    {I2C, "bDevType", 1011, false, "设备类型", "I2C设置", false},
    {I2C, "bBufNum", 1359, false, "BUF号", "I2C设置", false},
    {I2C, "bProgLen", 1360, false, "编程长度", "I2C设置", false},
    {I2C, "bClkDiv", 1361, false, "分频系数", "I2C设置", false},
    {I2C, "wProgTime", 1362, false, "编程时间", "I2C设置", false},
    {LCM, "bBusType", 1348, false, "设备类型", "LCM设置", false},
    {LCM, "bLcmBusWide", 1349, false, "BUS宽度", "LCM设置", false},
    {LCM, "bClkCyl", 1350, false, "读写周期", "LCM设置", false},
    {LCM, "bCsSel", 1369, false, "CS选择", "LCM设置", false},
    {LCM, "bBufNum", 1370, false, "BUF号", "LCM设置", false},
    {KEY, "bKeyNEXT0", 1376, false, "NEXT", "MP3模式", true},
    {KEY, "bKeyNEXT1", 1386, false, "NEXT", "录音模式", false},
    {KEY, "bKeyNEXT2", 1391, false, "NEXT", "FM模式", false},
    {KEY, "bKeyPREV0", 1377, false, "PRE", "MP3模式", true},
    {KEY, "bKeyPREV1", 1387, false, "PRE", "录音模式", false},
    {KEY, "bKeyPREV2", 1392, false, "PRE", "FM模式", false},
    {KEY, "bKeyVOLD0", 1378, false, "VOL-", "MP3模式", true},
    {KEY, "bKeyVOLD1", 1388, false, "VOL-", "录音模式", false},
    {KEY, "bKeyVOLD2", 1393, false, "VOL-", "FM模式", false},
    {KEY, "bKeyVOLU0", 1379, false, "VOL+", "MP3模式", true},
    {KEY, "bKeyVOLU1", 1389, false, "VOL+", "录音模式", false},
    {KEY, "bKeyVOLU2", 1394, false, "VOL+", "FM模式", false},
    {KEY, "bBATData0", 1395, false, "LOWEST", "电量值设置", true},
    {KEY, "bBATData1", 1396, false, "LOW", "电量值设置", false},
    {KEY, "bBATData2", 1397, false, "NORMAL", "电量值设置", false},
    {KEY, "bBATData3", 1398, false, "HIGHT", "电量值设置", true},
    {KEY, "bKeyDelicacy", 1399, false, "灵敏度", "按键设置", false},
    {KEY, "bShortTime", 1400, false, "短按时间", "按键设置", false},
    {KEY, "bLongTime", 1401, false, "长按时间", "按键设置", false},
    {KEY, "bKeyValid", 1402, false, "KEYVALID", "按键设置", false},
    {KEY, "bLedMode", 1302, false, "Led Mode", "KEY配置", true},
};

Mp3Block& blockOf(Mp3Config& config, Block block)
{
    switch (block) {
    case SYS: return *config.getSysCfg();
    case DEC: return *config.getDecCfg();
    case REC: return *config.getRecCfg();
    case SDC: return *config.getSdcCfg();
    case SPI: return *config.getSpiCfg();
    case I2C: return *config.getI2cCfg();
    case LCM: return *config.getLcmCfg();
    case KEY: break;
    }
    return *config.getKeyCfg();
}

// Every edit the operator can change is a byte of the device's record: a
// number beyond one would reach the device as another.
const NumberRange kByteField{-128, 255};

constexpr int COLUMNS = 3;
constexpr int SHEET_WIDTH = 700;
constexpr int SHEET_HEIGHT = 750;
// English captions take more room below the pages.
constexpr int SHEET_HEIGHT_ENGLISH = 805;

}  // namespace

PageMp3Setting::PageMp3Setting(QWidget* parent) : PageConfig("Mp3SettingTab", parent)
{
    auto* grid = new QGridLayout(this);
    std::map<QString, QGridLayout*> groups;
    std::vector<QString> order;
    for (const Mp3Control& control : CONTROLS) {
        const QString group = QString::fromUtf8(control.group);
        QGridLayout*& rows = groups[group];
        if (rows == nullptr) {
            auto* box = new QGroupBox(group, this);
            rows = new QGridLayout(box);
            const int at = static_cast<int>(order.size());
            grid->addWidget(box, at / COLUMNS, at % COLUMNS);
            order.push_back(group);
        }
        const int row = rows->rowCount();
        QWidget* widget = nullptr;
        if (control.check) {
            widget = new QCheckBox(QString::fromUtf8(control.label));
            rows->addWidget(widget, row, 0, 1, 2);
        } else {
            widget = new QLineEdit;
            rows->addWidget(new QLabel(QString::fromUtf8(control.label)), row, 0);
            rows->addWidget(widget, row, 1);
        }
        widget->setEnabled(control.enabled);
        addControl(control.id, widget);
    }
}

bool PageMp3Setting::OnInitDialog()
{
    loadMp3Config();
    setInitialised();
    return true;
}

void PageMp3Setting::loadMp3Config()
{
    m_mp3Config = m_runSettings->getMp3Config();
    for (const Mp3Control& control : CONTROLS) {
        const int32_t value = blockOf(*m_mp3Config, control.block).get(control.field);
        if (control.check) {
            static_cast<QCheckBox*>(GetDlgItem(control.id))->setChecked(value == 1);
        } else {
            SetDlgItemText(control.id, QString::number(value));
        }
    }
}

void PageMp3Setting::saveMp3Config()
{
    m_mp3Config = holder->getConfigInfo()->getMp3Config();
    for (const Mp3Control& control : CONTROLS) {
        // What the operator cannot change stays as it was: a disabled box
        // shows only on and off of a field that may hold more.
        if (!control.enabled) {
            continue;
        }
        Mp3Block& block = blockOf(*m_mp3Config, control.block);
        if (control.check) {
            block.set(control.field, static_cast<QCheckBox*>(GetDlgItem(control.id))->isChecked() ? 1 : 0);
            continue;
        }
        const QString label = QString::fromUtf8(control.group) + " " + QString::fromUtf8(control.label);
        if (const std::optional<int64_t> value = takeNumber(*this, control.id, kByteField, label)) {
            block.set(control.field, static_cast<int32_t>(*value));
        } else {
            SetDlgItemText(control.id, QString::number(block.get(control.field)));
        }
    }
}

void PageMp3Setting::showEvent(QShowEvent* event)
{
    PageConfig::showEvent(event);
    const int height = utils::MavikLang::language() == utils::LANG_ENGLISH ? SHEET_HEIGHT_ENGLISH : SHEET_HEIGHT;
    if (QWidget* sheet = window(); sheet != this) {
        sheet->resize(SHEET_WIDTH, height);
    }
}

void PageMp3Setting::hideEvent(QHideEvent* event)
{
    saveMp3Config();
    PageConfig::hideEvent(event);
}

}  // namespace Tessor::page
