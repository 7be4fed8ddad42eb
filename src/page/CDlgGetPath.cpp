#include "page/CDlgGetPath.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "platform/mfc/MessageBox.h"
#include "utils/MavikLang.h"

namespace Tessor::page {

namespace fs = std::filesystem;
using utils::MavikLang;

namespace {

// The one root of the file system stands where the drives would.
const QString kRoot = QStringLiteral("/");

}  // namespace

CDlgGetPath::CDlgGetPath(QWidget* parent) : CDialog(parent), m_tree(new QTreeWidget(this))
{
    setWindowFlags(Qt::Dialog);
    auto* computer = new QLabel(QString::fromUtf8("我的电脑"), this);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    auto* ok = new QPushButton(QString::fromUtf8("确定"), this);
    auto* cancel = new QPushButton(QString::fromUtf8("取消"), this);
    ok->setEnabled(false);
    addControl(IDC_COMPUTER, computer);
    addControl(IDC_TREE, m_tree);
    addControl(mfc::IDOK, ok);
    addControl(mfc::IDCANCEL, cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(computer);
    layout->addWidget(m_tree);
    layout->addLayout(buttons);
    resize(320, 360);

    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { OnItemExpandingTree(item); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) { OnSelChangedTree(item); });
    connect(ok, &QPushButton::clicked, this, [this] { EndDialog(mfc::IDOK); });
    connect(cancel, &QPushButton::clicked, this, [this] { EndDialog(mfc::IDCANCEL); });
}

bool CDlgGetPath::OnInitDialog()
{
    addItem(kRoot, nullptr)->setIcon(0, style()->standardIcon(QStyle::SP_DriveHDIcon));
    m_networkRoot = addItem(MavikLang::text("Network Neiborhood"), nullptr);
    m_networkRoot->setIcon(0, style()->standardIcon(QStyle::SP_DriveNetIcon));

    // Open the tree along the path, part by part; a part that names no
    // child is passed over.
    const QStringList parts = QString(m_path).replace('\\', '/').split('/');
    QTreeWidgetItem* current = nullptr;
    for (int index = 0; index < parts.size() && !m_path.isEmpty(); ++index) {
        const QString part = index == 0 && parts[0].isEmpty() ? kRoot : parts[index];
        if (QTreeWidgetItem* found = findChild(current, part)) {
            OnItemExpandingTree(found);
            m_tree->expandItem(found);
            current = found;
        }
    }

    SetDlgItemText(IDC_COMPUTER, MavikLang::text("My Computer"));
    SetDlgItemText(mfc::IDOK, MavikLang::text("Apply"));
    SetDlgItemText(mfc::IDCANCEL, MavikLang::text("Cancel"));
    setWindowTitle(MavikLang::text("Select Directory"));
    return true;
}

QTreeWidgetItem* CDlgGetPath::addItem(const QString& text, QTreeWidgetItem* parent)
{
    // Sorted in among its siblings, with an expand button until it is opened.
    const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
    int at = 0;
    while (at < count) {
        const QTreeWidgetItem* sibling = parent ? parent->child(at) : m_tree->topLevelItem(at);
        if (sibling->text(0).compare(text, Qt::CaseInsensitive) > 0) {
            break;
        }
        ++at;
    }
    auto* item = new QTreeWidgetItem(QStringList(text));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    if (parent) {
        parent->insertChild(at, item);
    } else {
        m_tree->insertTopLevelItem(at, item);
    }
    return item;
}

QString CDlgGetPath::itemPath(const QTreeWidgetItem* item) const
{
    QString path;
    for (; item; item = item->parent()) {
        const QString text = item->text(0);
        path.prepend(text.endsWith('/') ? text : text + '/');
    }
    return path;
}

QTreeWidgetItem* CDlgGetPath::findChild(QTreeWidgetItem* parent, const QString& text) const
{
    const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
    // The spelling on the disk first, then any letter case.
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (int i = 0; i < count; ++i) {
            QTreeWidgetItem* child = parent ? parent->child(i) : m_tree->topLevelItem(i);
            if (child->text(0).compare(text, cs) == 0) {
                return child;
            }
        }
    }
    return nullptr;
}

void CDlgGetPath::fillChildren(const QString& path, QTreeWidgetItem* item)
{
    if (item == m_networkRoot) {
        return;  // no network neighbourhood on this system
    }
    std::error_code ec;
    for (fs::directory_iterator it(path.toStdString(), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code statError;
        // Linked folders are left out: they can lead back up the tree.
        if (it->symlink_status(statError).type() == fs::file_type::directory) {
            addItem(QString::fromStdString(it->path().filename().string()), item)
                ->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
        }
    }
}

void CDlgGetPath::OnItemExpandingTree(QTreeWidgetItem* item)
{
    if (!item || item->childCount() > 0) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    fillChildren(itemPath(item), item);
    if (item->childCount() == 0) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    }
    QApplication::restoreOverrideCursor();
    if (m_tree->currentItem() != item) {
        m_tree->setCurrentItem(item);
    }
}

void CDlgGetPath::OnSelChangedTree(QTreeWidgetItem* item)
{
    EnableDlgItem(mfc::IDOK, item && item != m_networkRoot);
}

void CDlgGetPath::DestroyWindow()
{
    m_path = itemPath(m_tree->currentItem());
    m_tree->clear();
    m_networkRoot = nullptr;
    CDialog::DestroyWindow();
}

}  // namespace Tessor::page
