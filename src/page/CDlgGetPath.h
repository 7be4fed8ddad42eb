// The folder-choice dialog: a tree of the file system and the network,
// opened on demand, that hands back the full path of the chosen folder
// (ending with "/").
#pragma once

#include <QString>

#include "platform/mfc/Dialog.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace Tessor::page {

class CDlgGetPath : public mfc::CDialog {
public:
    enum : int { IDD = 144, IDC_TREE = 1088, IDC_COMPUTER = 1149 };

    explicit CDlgGetPath(QWidget* parent = nullptr);

    // The folder to open the tree along; "/" or "\" between the parts.
    void setPath(const QString& path) { m_path = path; }
    // The chosen folder once the dialog has ended.
    QString getPath() const { return m_path; }

    QTreeWidget* tree() const { return m_tree; }
    QTreeWidgetItem* networkRoot() const { return m_networkRoot; }

protected:
    bool OnInitDialog() override;
    void DestroyWindow() override;

private:
    void OnItemExpandingTree(QTreeWidgetItem* item);
    void OnSelChangedTree(QTreeWidgetItem* item);

    QTreeWidgetItem* addItem(const QString& text, QTreeWidgetItem* parent);
    QString itemPath(const QTreeWidgetItem* item) const;
    void fillChildren(const QString& path, QTreeWidgetItem* item);
    // The first child of `parent` (the top level when null) named `text`.
    QTreeWidgetItem* findChild(QTreeWidgetItem* parent, const QString& text) const;

    QTreeWidget* m_tree;
    QTreeWidgetItem* m_networkRoot = nullptr;
    QString m_path;
};

}  // namespace Tessor::page
