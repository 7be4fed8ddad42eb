// The flash-chip table page on a table of its own: the sorted list, the
// sections Add, Modify and Delete write, and a chip added here found by the
// identification of a simulated device with that id.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "page/CFlashConfigPage.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/UsbConfiguration.h"
#include "shell/DeviceTexts.h"
#include "shell/Station.h"
#include "support/QtApp.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"

namespace {

using namespace Tessor;
using page::CFlashConfigPage;
using test_support::readFile;

// The section of `name` as the file holds it, up to the next section.
std::string sectionText(const std::string& file, const std::string& name)
{
    const std::string text = readFile(file);
    const size_t start = text.find("[" + name + "]");
    if (start == std::string::npos) {
        return "";
    }
    const size_t end = text.find("\n[", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

// A fresh chip with its visible geometry typed, nothing else touched.
const char FRESH_CHIP[] =
    "[ECDA1095]\n"
    "PartNumber=TEST-CHIP\n"
    "FlashType=-1\nBusWidth=8\nDualDie=0\nBlockPerChip=64\nPagePerBlock=16\nSectorPerPage=4\n"
    "ColumnCycle=2\nRowCycle=3\nAndCycle=0\nSpeed=0xAB\nCacheProgramCommand=\nReadBanks=0\nWriteBanks=0\n"
    "EraseBanks=0\nEraseTimes=0\nBankProgramCommand=\nEraseIncPage=0\nCacheStatus=0\nProgramStatus=0\n"
    "EraseStatus=0\nPhysicalCopyBack=0\nAmdNor=0\nWriteDelay=0\nBlockPerScan=0\nScanInitValue=0\n"
    "ForeDataPosition=0\nJumpPage=0\nScanData=\nMarkBadPage=0\nMarkBytePosition=0\nPullUp_sel=0\nRref_sel=0\n"
    "led_sel=0\nbANA_CTLB=0\nbANA_CTLC=0\nAgand=0\nIsMic=0\nr5_low=0\n2CycleE2Type=0\nbWRE_CARE=0\n"
    "bECC_CARE=0\nbCBP_CARE=0\nuseFC_CYL2=0\ni2cPinSel=0\nBulidRpZone=0\nSetError=0\nLog2phy=0\nSpeedlow=0\n"
    "ResetEnable=0\nBootLoadEn=0\nLogRdRstEn=0\nLogWrRstEn=0\nSpeedChgEn=0\nRand_enable=0\nFCWT=0\n"
    "GoodBlkValue=\nSofCheckTime=0\nSofErrNum=0\nmaxPlaneNum=1\nmaxIntlvNum=1\nbRowlnc2Plane=0\n"
    "bRowlnc2lntlv=0\nbRowlnc2NxtPlane=0\ndwExtJmpMap=0\nIntlvRdcmd0=0\nIntlvRdcmd1=0\nMultiPlaneEn=0\n"
    "bANA_CTLD=0\nbNextSentCmd=\nbEraseCnt=0\nwEraseIncRowNum=0\nbANA_CTL=0\neraseMode=0\ntoshibaMp=0\n";

class FlashConfigPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }

    void SetUp() override
    {
        mfc::setMessageBoxService(m_boxes);
        engine_test::EngineEnvironment::instance();
        m_kept = schema::UsbConfiguration::instance()->getFlashFileName();
        std::ofstream(m_file) << "[ECD35195]\nPartNumber=VF1G-SAMSUNG-DEMO\nBusWidth=16\nSpeed=0x2AB\n"
                                 "BlockPerChip=1024\ndwExtJmpMap=7\n"
                                 "[NOPART]\nBlockPerChip=1\n"
                                 "[EMPTYPART]\nPartNumber=\n"
                                 "[AAAA]\nPartNumber=another\n";
        schema::UsbConfiguration::instance()->setFlashFileName(m_file);
        m_page = std::make_unique<CFlashConfigPage>();
        m_page->show();
    }
    void TearDown() override { schema::UsbConfiguration::instance()->setFlashFileName(m_kept); }

    QStringList rows()
    {
        QStringList texts;
        for (int i = 0; i < m_page->list()->topLevelItemCount(); ++i) {
            texts << m_page->list()->topLevelItem(i)->text(0) + "|" + m_page->list()->topLevelItem(i)->text(1);
        }
        return texts;
    }
    void selectRow(const QString& id)
    {
        for (int i = 0; i < m_page->list()->topLevelItemCount(); ++i) {
            if (m_page->list()->topLevelItem(i)->text(1) == id) {
                m_page->list()->setCurrentItem(m_page->list()->topLevelItem(i));
            }
        }
    }
    void typeFreshChip()
    {
        m_page->SetDlgItemText(CFlashConfigPage::IDC_FLASH_ID, "ECDA1095");
        m_page->SetDlgItemText(CFlashConfigPage::IDC_MODEL, "TEST-CHIP");
        const std::pair<int, const char*> typed[] = {{1222, "64"}, {1223, "16"}, {1224, "4"}, {1225, "2"},
                                                     {1226, "3"},  {1227, "0xAB"}, {1241, "1"}, {1253, "1"}};
        for (const auto& [id, text] : typed) {
            m_page->SetDlgItemText(id, text);
        }
    }

    test_support::TempFolder m_dir;
    std::string m_file = m_dir.path() + "/FlashChip.ini";
    std::string m_kept;
    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    std::unique_ptr<CFlashConfigPage> m_page;
};

TEST_F(FlashConfigPage, ListsTheChipsSortedAndLoadsAClickedOne)
{
    // Sorted without regard to case; an empty part number is left out, a missing one reads "NONE".
    EXPECT_EQ(QStringList({"another|AAAA", "NONE|NOPART", "VF1G-SAMSUNG-DEMO|ECD35195"}), rows());
    test_support::saveScreenshot(*m_page, "flash-chip-page");

    selectRow("NOPART");
    m_page->OnClickList();
    EXPECT_EQ(QStringList{"Message: Not Find Flash Config!"}, m_boxes->texts());
    EXPECT_EQ("", m_page->GetDlgItemText(CFlashConfigPage::IDC_FLASH_ID));

    selectRow("ECD35195");
    m_page->OnClickList();
    EXPECT_EQ("ECD35195", m_page->GetDlgItemText(CFlashConfigPage::IDC_FLASH_ID));
    EXPECT_EQ("1024", m_page->GetDlgItemText(1222));
    EXPECT_EQ("0x2ab", m_page->GetDlgItemText(1227));
    EXPECT_TRUE(static_cast<QCheckBox*>(m_page->GetDlgItem(1268))->isChecked());
    EXPECT_EQ(0, static_cast<QComboBox*>(m_page->GetDlgItem(1237))->currentIndex());

    // Written back in place: hex as shown, the jump map always 0.
    m_page->OnClickedModify();
    const std::string section = sectionText(m_file, "ECD35195");
    EXPECT_NE(std::string::npos, section.find("\nSpeed=0x2ab\n"));
    EXPECT_NE(std::string::npos, section.find("\nBusWidth=16\n"));
    EXPECT_NE(std::string::npos, section.find("\nFlashType=0\n"));
    EXPECT_NE(std::string::npos, section.find("\ndwExtJmpMap=0\n"));
    EXPECT_EQ("Message:FLASH Information Update Success!", m_boxes->texts().last());
}

TEST_F(FlashConfigPage, AddWritesTheWholeSectionInTableOrder)
{
    typeFreshChip();
    m_page->OnClickedAdd();
    EXPECT_EQ(FRESH_CHIP, sectionText(m_file, "ECDA1095"));
    EXPECT_EQ(QStringList({"another|AAAA", "NONE|NOPART", "TEST-CHIP|ECDA1095", "VF1G-SAMSUNG-DEMO|ECD35195"}),
              rows());
    EXPECT_EQ(QStringList{"Message:FLASH Information Add Success!"}, m_boxes->texts());

    // The same id again: one section, two rows.
    m_page->OnClickedAdd();
    EXPECT_EQ(FRESH_CHIP, sectionText(m_file, "ECDA1095"));
    EXPECT_EQ(5, rows().size());
}

TEST_F(FlashConfigPage, IdsAndModelsOverTheirLimitsAreRefused)
{
    struct Case {
        QString id;
        QString model;
        const char* message;
    } const cases[] = {
        {"", "X", "Message: Flash ID Can Not Be NULL!"},
        {"ECDA1095ABCDE", "X", "Message:Flash ID Length Can Not Excess 12 Character,Please Setting Over Again!"},
        {"ECDA1095", QString(32, 'M'), "Message:Flash Model Length Can Not Excess 12 Character,Please Setting Over Again!"},
    };
    for (const Case& c : cases) {
        m_boxes->clear();
        m_page->SetDlgItemText(CFlashConfigPage::IDC_FLASH_ID, c.id);
        m_page->SetDlgItemText(CFlashConfigPage::IDC_MODEL, c.model);
        m_page->OnClickedAdd();
        EXPECT_EQ(QStringList{c.message}, m_boxes->texts());
    }
    EXPECT_EQ(3, rows().size());
    EXPECT_EQ("", sectionText(m_file, "ECDA1095"));
}

TEST_F(FlashConfigPage, ANumberEditWhoseTextTheReaderCannotTakeRefusesAddAndModify)
{
    const struct {
        int id;
        const char* typed;
        const char* refusal;  // none: written as typed
    } cases[] = {
        {1222, "abc", "每片块数: Value invalid! Please enter the number 0-4294967295"},
        {1223, "12abc", "每块页数: Value invalid! Please enter the number 0-4294967295"},
        {1224, "99999999999", "每页扇区数: Value invalid! Please enter the number 0-4294967295"},
        {1225, "-1", "列周期: Value invalid! Please enter the number 0-4294967295"},
        {1227, "0xZZ", "速度: Value invalid! Please enter the number 0x0-0xFFFFFFFF"},
        {1228, "fast", "CacheCmd: Value invalid! Please enter the number 0x0-0xFFFFFFFF"},
        {1236, "0x100000000", "NxtSentCmd: Value invalid! Please enter the number 0x0-0xFFFFFFFF"},
        {1226, "4294967295", nullptr},
        {1227, "0xAbC", nullptr},
        {1228, "171", nullptr},
    };
    for (const auto& c : cases) {
        // Added with it.
        (void)std::filesystem::remove(m_file);
        m_boxes->clear();
        typeFreshChip();
        m_page->SetDlgItemText(c.id, c.typed);
        m_page->OnClickedAdd();
        const std::string added = sectionText(m_file, "ECDA1095");
        // A fresh chip's section, then modified with it.
        (void)std::filesystem::remove(m_file);
        m_page->SetDlgItemText(c.id, "");
        typeFreshChip();
        m_page->OnClickedAdd();
        selectRow("ECDA1095");
        m_boxes->clear();
        m_page->SetDlgItemText(c.id, c.typed);
        m_page->OnClickedModify();
        const std::string modified = sectionText(m_file, "ECDA1095");
        const std::string line = "=" + std::string(c.typed) + "\n";
        if (c.refusal) {
            EXPECT_EQ("", added) << c.typed;
            EXPECT_EQ(FRESH_CHIP, modified) << c.typed;
            EXPECT_EQ(QStringList{QString::fromUtf8(c.refusal)}, m_boxes->texts()) << c.typed;
        } else {
            EXPECT_NE(std::string::npos, added.find(line)) << c.typed;
            EXPECT_NE(std::string::npos, modified.find(line)) << c.typed;
            EXPECT_EQ("Message:FLASH Information Update Success!", m_boxes->texts().last()) << c.typed;
        }
        m_page->SetDlgItemText(c.id, "");
    }
}

TEST_F(FlashConfigPage, ModifyToANewIdMovesTheSectionAndDeleteAsksFirst)
{
    selectRow("AAAA");
    m_page->OnClickList();
    m_page->SetDlgItemText(CFlashConfigPage::IDC_FLASH_ID, "BBBB");
    m_page->SetDlgItemText(CFlashConfigPage::IDC_MODEL, "zeta");
    m_page->OnClickedModify();
    EXPECT_EQ("", sectionText(m_file, "AAAA"));
    EXPECT_NE(std::string::npos, sectionText(m_file, "BBBB").find("PartNumber=zeta\n"));
    // The row changes in place, not to its sorted place.
    EXPECT_EQ("zeta|BBBB", rows().first());

    m_boxes->setAnswer(mfc::IDNO);
    const std::string before = readFile(m_file);
    m_page->OnClickedDelete();
    EXPECT_EQ(before, readFile(m_file));
    EXPECT_EQ(3, rows().size());

    m_boxes->setAnswer(mfc::IDYES);
    m_page->OnClickedDelete();
    EXPECT_EQ("", sectionText(m_file, "BBBB"));
    EXPECT_EQ(QStringList({"NONE|NOPART", "VF1G-SAMSUNG-DEMO|ECD35195"}), rows());
    EXPECT_EQ("Message:FLASH Information Delete Success!", m_boxes->texts().last());
}

TEST_F(FlashConfigPage, AnAddedChipIdentifiesADeviceWithItsId)
{
    typeFreshChip();
    m_page->OnClickedAdd();
    bridge_test::Station station(1, schema::FUNCTION_FACTORY);
    station.showPage();
    station.plug(0, "added-chip", {{"Device.FlashId", "ECDA1095"}});
    // The port shows the device ready before it records the identity, capacity last.
    ASSERT_TRUE(test_support::waitOnGui([&] {
        return station.record(0).getState() == page::UI_READY && station.record(0).getCapacityMb() != 0;
    })) << station.progressText(0).toStdString();
    EXPECT_EQ("TEST-CHIP", station.record(0).getPartNumber());
    EXPECT_EQ(2, station.record(0).getCapacityMb());
}

}  // namespace
