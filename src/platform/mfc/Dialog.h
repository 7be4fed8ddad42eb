// A dialog whose controls are addressed by their dialog ids, as the page
// templates number them. Control operations run on the GUI thread only.
#pragma once

#include <QString>
#include <QWidget>
#include <map>

class QEventLoop;

namespace Tessor::mfc {

class CDialog : public QWidget {
public:
    explicit CDialog(QWidget* parent = nullptr);

    // Registers `control` (a child of this dialog) under `id`.
    void addControl(int id, QWidget* control);
    // The control of `id`, or null.
    QWidget* GetDlgItem(int id) const;
    // Text of a button, label or edit; nothing for an unknown id.
    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;
    void EnableDlgItem(int id, bool enable);

    // Shows the dialog as a window that blocks the others and returns the
    // result `EndDialog` was given.
    int DoModal();
    // Ends the dialog with `result` (IDOK, IDCANCEL): closes its window.
    void EndDialog(int result);

protected:
    // Runs once, before the dialog is first shown.
    virtual bool OnInitDialog() { return true; }
    // Closes the window; runs when the dialog ends.
    virtual void DestroyWindow();
    void showEvent(QShowEvent* event) override;

private:
    std::map<int, QWidget*> m_controls;
    bool m_created = false;
    QEventLoop* m_modalLoop = nullptr;
    int m_result = 0;
};

}  // namespace Tessor::mfc
