// The folder-choice dialog on a temporary tree.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "page/CDlgGetPath.h"
#include "platform/mfc/MessageBox.h"
#include "support/QtApp.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"

namespace {

using Tessor::page::CDlgGetPath;
namespace fs = std::filesystem;
namespace mfc = Tessor::mfc;

QStringList childTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) {
        texts << item->child(i)->text(0);
    }
    return texts;
}

class FolderDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }
    void SetUp() override
    {
        fs::create_directories(m_data / "in" / "deep");
        fs::create_directories(m_data / "empty");
        fs::create_directories(m_data / "Other");
        fs::create_directory_symlink(m_dir.path(), m_data / "link");  // would loop
        std::ofstream(m_data / "file.txt") << "not a folder";
    }
    QPushButton* ok() { return static_cast<QPushButton*>(m_dialog.GetDlgItem(mfc::IDOK)); }
    QString root() const { return QString::fromStdString(m_dir.path()); }

    test_support::TempFolder m_dir;
    fs::path m_data = fs::path(m_dir.path()) / "data";
    CDlgGetPath m_dialog;
};

TEST_F(FolderDialog, OpensAlongThePathAndHandsBackTheChosenFolderEndingWithASlash)
{
    m_dialog.setPath(root() + "\\DATA\\in");  // the system's separators, another letter case
    m_dialog.show();
    QTreeWidgetItem* in = m_dialog.tree()->currentItem();
    ASSERT_NE(nullptr, in);
    EXPECT_EQ("in", in->text(0));
    EXPECT_TRUE(in->parent()->isExpanded());
    // Folders only, sorted without regard to case, linked folders left out.
    EXPECT_EQ(QStringList({"empty", "in", "Other"}), childTexts(in->parent()));
    EXPECT_TRUE(ok()->isEnabled());
    test_support::saveScreenshot(m_dialog, "folder-dialog");

    // An empty folder loses its expand button once opened, and is selected.
    QTreeWidgetItem* empty = in->parent()->child(0);
    EXPECT_EQ(QTreeWidgetItem::ShowIndicator, empty->childIndicatorPolicy());
    m_dialog.tree()->expandItem(empty);
    EXPECT_EQ(QTreeWidgetItem::DontShowIndicator, empty->childIndicatorPolicy());
    EXPECT_EQ(empty, m_dialog.tree()->currentItem());

    ok()->click();
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(root() + "/data/empty/", m_dialog.getPath());
}

TEST_F(FolderDialog, NetworkAndUnknownPathsLeaveApplyDisabled)
{
    m_dialog.setPath("nowhere\\at\\all");
    m_dialog.show();
    EXPECT_FALSE(ok()->isEnabled());
    QTreeWidgetItem* network = m_dialog.networkRoot();
    EXPECT_EQ("Network Neiborhood", network->text(0));
    for (int i = 0; i < m_dialog.tree()->topLevelItemCount(); ++i) {
        EXPECT_FALSE(m_dialog.tree()->topLevelItem(i)->isExpanded());
    }
    // Nothing of a network here: it opens empty and cannot be chosen.
    m_dialog.tree()->expandItem(network);
    EXPECT_EQ(QTreeWidgetItem::DontShowIndicator, network->childIndicatorPolicy());
    EXPECT_EQ(network, m_dialog.tree()->currentItem());
    EXPECT_FALSE(ok()->isEnabled());
}

TEST_F(FolderDialog, RunsModallyAndCancelStillSetsThePath)
{
    m_dialog.setPath(root() + "/data/Other");
    QTimer::singleShot(0, &m_dialog, [this] { static_cast<QPushButton*>(m_dialog.GetDlgItem(mfc::IDCANCEL))->click(); });
    EXPECT_EQ(mfc::IDCANCEL, m_dialog.DoModal());
    EXPECT_EQ(root() + "/data/Other/", m_dialog.getPath());
}

}  // namespace
