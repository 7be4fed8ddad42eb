// The partition editor on the user page's controls: splits, size checks,
// volume labels, encryption and its login partition, folders and ISO images
// chosen by Browse, and the partitions written into the run settings.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <filesystem>
#include <fstream>

#include "page/PageUserTool.h"
#include "platform/mfc/FileDialog.h"
#include "platform/mfc/MessageBox.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/ui/EngineHarness.h"
#include "support/QtApp.h"
#include "support/TempFolder.h"
#include "page/MavikConfig.h"

namespace {

using namespace Tessor;
namespace fs = std::filesystem;

constexpr int MB = 2048;

// The user page with the folder chooser of Browse answered by the test.
class EditorPage : public page::PageUserTool {
public:
    QString folder;

protected:
    bool chooseFolder(const QString&, QString* path) override
    {
        *path = folder;
        return !folder.isEmpty();
    }
};

// Ids of the user page's partition controls.
struct Ids {
    static constexpr int capacity = 1226, count = 1227, password = 1238, encrypt = 1237;
    static constexpr int partCapacity[3] = {1233, 1244, 1253};
    static constexpr int content[3] = {1239, 1247, 1256};
    static constexpr int volume[3] = {1235, 1246, 1255};
    static constexpr int writeProtect[3] = {1236, 1243, 1252};
    static constexpr int localDisk[3] = {1232, 1918, 1251};
    static constexpr int cdrom[3] = {1230, 1916, 1249};
    static constexpr int confirm[3] = {1234, 1245, 1254};
    static constexpr int browse[3] = {1240, 1248, 1257};
};

void writeFile(const fs::path& path, uintmax_t size)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "";
    fs::resize_file(path, size);
}

class PartitionEditor : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }

    void SetUp() override
    {
        mfc::setMessageBoxService(m_boxes);
        mfc::setFileDialogService(m_files);
        engine_test::EngineEnvironment::instance();
        schema::UsbConfiguration::instance()->setCurrentFunction(schema::FUNCTION_USER);
        // The application version the login folder is picked by: 300.
        schema::UsbConfiguration::instance()->setVersion("2<01");
        ASSERT_EQ(300, schema::UsbConfiguration::instance()->getVersion().getVersion());
        m_oldDir = fs::current_path();
        fs::current_path(m_dir.path());
        m_holder = std::make_unique<page::MavikConfig>(nullptr);
        m_holder->getConfigInfo()->setRealCapacity(1000 * MB);
        m_page.holder = m_holder.get();
        m_page.reloadScanConfig();
        m_page.show();
    }
    void TearDown() override { fs::current_path(m_oldDir); }

    QString text(int id) { return m_page.GetDlgItemText(id); }
    void set(int id, const QString& value) { m_page.SetDlgItemText(id, value); }
    void click(int id) { static_cast<QAbstractButton*>(m_page.GetDlgItem(id))->click(); }
    bool checked(int id) { return static_cast<QAbstractButton*>(m_page.GetDlgItem(id))->isChecked(); }
    bool enabled(int id) { return m_page.GetDlgItem(id)->isEnabled(); }
    QComboBox& countCombo() { return *static_cast<QComboBox*>(m_page.GetDlgItem(Ids::count)); }
    void chooseCount(int count)
    {
        countCombo().setCurrentIndex(count - 1);
        m_page.OnSelChangePartitionCount();
    }
    std::vector<int> sectors() { return {m_page.partitionSectors(0), m_page.partitionSectors(1), m_page.partitionSectors(2)}; }

    test_support::TempFolder m_dir;
    fs::path m_oldDir;
    std::shared_ptr<mfc::HeadlessMessageBoxes> m_boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    std::shared_ptr<mfc::ScriptedFileDialogs> m_files = std::make_shared<mfc::ScriptedFileDialogs>();
    std::unique_ptr<page::MavikConfig> m_holder;
    EditorPage m_page;
};

TEST_F(PartitionEditor, LoadsTheRunSettingsIntoTheControls)
{
    EXPECT_EQ("1000", text(Ids::capacity));
    EXPECT_EQ("1", countCombo().currentText());
    EXPECT_FALSE(enabled(Ids::partCapacity[1]));
    EXPECT_FALSE(enabled(Ids::password));
    EXPECT_TRUE(m_boxes->texts().isEmpty());
}

TEST_F(PartitionEditor, ConfirmSplitsTheDiskByCount)
{
    struct Case {
        const char* what;
        int count;
        std::array<int, 3> mb;  // capacity edits before Confirm
        std::vector<int> expected;  // sectors after Confirm
        QString countAfter;
    };
    const Case cases[] = {
        {"one partition takes the disk", 1, {100, 0, 0}, {1000 * MB, 0, 0}, "1"},
        {"two with the first at 0 split in halves", 2, {0, 0, 0}, {500 * MB, 500 * MB, 0}, "2"},
        {"two: the second takes the rest", 2, {300, 100, 0}, {300 * MB, 700 * MB, 0}, "2"},
        {"three all 0 give thirds, the last the remainder", 3, {0, 0, 0}, {682666, 682666, 682668}, "3"},
        {"three: the third takes the rest", 3, {200, 300, 1}, {200 * MB, 300 * MB, 500 * MB}, "3"},
        {"three: two filling the disk share the rest", 3, {400, 600, 1}, {400 * MB, 300 * MB, 300 * MB}, "3"},
        {"three larger than the disk fall back to two", 3, {600, 500, 1}, {600 * MB, 400 * MB, 0}, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        chooseCount(c.count);
        for (int i = 0; i < 3; ++i) {
            set(Ids::partCapacity[i], QString::number(c.mb[static_cast<size_t>(i)]));
        }
        click(Ids::confirm[0]);
        EXPECT_EQ(c.expected, sectors());
        EXPECT_EQ(c.countAfter, countCombo().currentText());
        EXPECT_EQ(QString::number(c.expected[0] / MB), text(Ids::partCapacity[0]));
        EXPECT_EQ(c.countAfter == "3", enabled(Ids::partCapacity[2]));
        EXPECT_FALSE(m_page.hasError());
    }
    EXPECT_TRUE(m_boxes->texts().isEmpty());
}

TEST_F(PartitionEditor, AZeroSizedDiskReportsItsEmptyPartitions)
{
    set(Ids::capacity, "0");
    chooseCount(2);
    EXPECT_TRUE(m_page.hasError());
    EXPECT_EQ(QStringList{"(partSectors[0] <= 0) || (partSectors[1] <= 0)"}, m_boxes->texts());
}

TEST_F(PartitionEditor, VolumeLabelsAreCutAtElevenBytesOfTheCodePage)
{
    struct Case {
        QString typed;
        QString kept;
    };
    const Case cases[] = {
        {"abcdefghijkl", "abcdefghijk"},
        {"abcde" + QString::fromUtf8("中文汉字"), "abcde" + QString::fromUtf8("中文汉")},
        {QString::fromUtf8("中文汉字五六"), QString::fromUtf8("中文汉字五")},
        {"abcdefghijk", "abcdefghijk"},
        {QString::fromUtf8("中文汉字五"), QString::fromUtf8("中文汉字五")},
    };
    auto* edit = static_cast<QLineEdit*>(m_page.GetDlgItem(Ids::volume[0]));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        edit->setText(c.typed);
        m_page.limitVolumeLabel(0);
        EXPECT_EQ(c.kept, edit->text());
        EXPECT_EQ(c.kept.size(), edit->cursorPosition());
    }
    // Committed in the code page: eleven bytes.
    m_page.OnClickedConfirmPartition();
    m_page.commitPartInfo();
    EXPECT_EQ(10u, m_holder->getConfigInfo()->getPartInfo(0)->getVolumeLabel().size());
    edit->setText("abcde" + QString::fromUtf8("中文汉字"));
    m_page.limitVolumeLabel(0);
    m_page.commitPartInfo();
    EXPECT_EQ(11u, m_holder->getConfigInfo()->getPartInfo(0)->getVolumeLabel().size());
}

TEST_F(PartitionEditor, EncryptingThreePartitionsKeepsTwoBehindALoginPartition)
{
    writeFile(fs::path(m_dir.path()) / "releases/fileSystems/kelvo_v30/login.bin", 1000);
    writeFile(fs::path(m_dir.path()) / "releases/fileSystems/kelvo_v30/sub/more.bin", 25);
    chooseCount(3);
    ASSERT_TRUE(enabled(Ids::partCapacity[2]));
    click(Ids::encrypt);
    EXPECT_TRUE(checked(Ids::encrypt));
    EXPECT_EQ("2", countCombo().currentText());
    EXPECT_FALSE(enabled(Ids::partCapacity[2]));
    EXPECT_EQ(std::vector<int>({333 * MB, 667 * MB, 0}), sectors());  // the first third kept
    EXPECT_EQ(3 + 0x1100, m_page.loginCapacity());  // 1025 bytes in 3 sectors
    EXPECT_EQ(QString::fromStdString(m_dir.path()) + "\\releases\\fileSystems\\kelvo_v30", text(Ids::content[0]));
    EXPECT_TRUE(enabled(Ids::password));
    EXPECT_FALSE(enabled(Ids::browse[0]));

    // The login partition must fit in the first one.
    set(Ids::capacity, "2");
    chooseCount(1);
    EXPECT_TRUE(m_page.hasError());
    EXPECT_EQ(QStringList{"Partition Capacity Is Too Small!"}, m_boxes->texts());

    click(Ids::encrypt);
    EXPECT_FALSE(enabled(Ids::password));
    EXPECT_TRUE(enabled(Ids::browse[0]));
}

TEST_F(PartitionEditor, EncryptionWithoutLoginContentIsRefused)
{
    click(Ids::encrypt);
    EXPECT_FALSE(checked(Ids::encrypt));
    EXPECT_TRUE(m_page.hasError());
    EXPECT_EQ(QStringList{"Message: Login Content Is Missing!"}, m_boxes->texts());
    EXPECT_TRUE(enabled(Ids::browse[0]));
}

TEST_F(PartitionEditor, ABrowsedFolderMustFitTheDisk)
{
    const fs::path folder = fs::path(m_dir.path()) / "content";
    writeFile(folder / "big.bin", 3 * 1024 * 1024);
    m_page.folder = QString::fromStdString(folder.string()) + "/";
    set(Ids::capacity, "2");
    set(Ids::content[0], "before");
    click(Ids::browse[0]);
    EXPECT_EQ(QStringList{"Message: Directory Is Oversize!"}, m_boxes->texts());
    EXPECT_EQ("before", text(Ids::content[0]));
    EXPECT_TRUE(m_page.hasError());

    m_boxes->clear();
    m_page.clearError();
    set(Ids::capacity, "3");
    click(Ids::browse[0]);
    EXPECT_EQ(QString::fromStdString(folder.string()), text(Ids::content[0]));
    EXPECT_TRUE(m_boxes->texts().isEmpty());
    EXPECT_EQ(fs::path(m_dir.path()), fs::current_path());

    // A disk made smaller than the folder is refused at Confirm.
    set(Ids::capacity, "2");
    click(Ids::confirm[0]);
    EXPECT_EQ(QStringList{"Partition Capacity Is Too Small!"}, m_boxes->texts());
}

TEST_F(PartitionEditor, AnIsoImageThatCannotBeReadOrIsOverTheDiskIsRefused)
{
    const fs::path images = fs::path(m_dir.path()) / "iso";
    writeFile(images / "big.iso", 3 * 1024 * 1024);
    writeFile(images / "small.iso", 1024 * 1024);
    click(Ids::cdrom[0]);
    EXPECT_EQ("ISO File:", text(1258));
    EXPECT_FALSE(enabled(Ids::encrypt));
    set(Ids::capacity, "2");
    for (const char* refused : {"missing.iso", "big.iso"}) {
        SCOPED_TRACE(refused);
        m_boxes->clear();
        m_page.clearError();
        m_files->answer(QString::fromStdString((images / refused).string()));
        click(Ids::browse[0]);
        EXPECT_EQ(QStringList{"Message: CDROM Image File Is Too Big!"}, m_boxes->texts());
        EXPECT_TRUE(m_page.hasError());
        EXPECT_EQ("", text(Ids::content[0]));
    }

    // An image that fits: its size with the margin, kept by Confirm.
    m_boxes->clear();
    set(Ids::capacity, "100");
    const QString small = QString::fromStdString((images / "small.iso").string());
    m_files->answer(small);
    click(Ids::browse[0]);
    EXPECT_EQ("7", text(Ids::partCapacity[0]));
    EXPECT_EQ(small, text(Ids::content[0]));
    EXPECT_EQ("CDROM Image File(*.iso)|*.iso||", m_files->filters.value(0));
    click(Ids::confirm[0]);
    EXPECT_EQ(std::vector<int>({7 * MB, 0, 0}), sectors());
    EXPECT_TRUE(m_boxes->texts().isEmpty());
}

TEST_F(PartitionEditor, CommitWritesThePartitionsIntoTheRunSettings)
{
    chooseCount(3);
    click(Ids::localDisk[0]);
    click(Ids::writeProtect[0]);
    click(Ids::cdrom[2]);
    EXPECT_TRUE(checked(Ids::writeProtect[2]));
    EXPECT_EQ("", text(Ids::partCapacity[2]));  // sized by its image
    set(Ids::volume[0], "FIRST");
    set(Ids::volume[1], QString::fromUtf8("第二"));
    set(Ids::partCapacity[0], "200");
    set(Ids::partCapacity[1], "300");
    set(Ids::partCapacity[2], "1");
    click(Ids::confirm[0]);
    m_page.commitPartInfo();

    Sptr<schema::ConfigInfo> settings = m_holder->getConfigInfo();
    EXPECT_EQ(1000 * MB, settings->getRealCapacity());
    EXPECT_EQ(0, settings->getConfigCapacity());
    ASSERT_EQ(3, settings->getPartCount());
    struct Expected {
        unsigned long sectors;
        int kind;
        bool protect;
        std::string label;
    };
    const Expected expected[] = {
        {200 * MB, schema::DISK_LOCAL, true, "FIRST"},
        {300 * MB, schema::DISK_REMOVABLE, false, "\xB5\xDA\xB6\xFE"},  // 第二 in the code page
        {500 * MB, schema::DISK_CDROM, true, ""},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        Sptr<schema::PartInfo> part = settings->getPartInfo(i);
        EXPECT_EQ(expected[i].sectors, part->getCapacity());
        EXPECT_EQ(expected[i].kind, part->getDiskType());
        EXPECT_EQ(expected[i].protect, part->getWriteProtected());
        EXPECT_EQ(expected[i].label, part->getVolumeLabel());
        EXPECT_FALSE(part->getIsEncrypted());
        EXPECT_EQ(0, part->getBootType());
    }

    // A partition of no size ends the list.
    set(Ids::capacity, "0");
    click(Ids::confirm[0]);
    m_page.commitPartInfo();
    EXPECT_EQ(0, settings->getPartCount());
}

}  // namespace
