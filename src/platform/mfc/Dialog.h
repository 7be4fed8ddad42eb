// A dialog whose controls are addressed by their dialog ids, as the page
// templates number them. Control operations run on the GUI thread only.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <span>

class QEventLoop;

namespace Tessor::mfc {

enum class ControlKind { Button, CheckBox, GroupBox, Label, Edit, ReadOnlyEdit, DropDown, ComboEdit, Progress };

// One control of a dialog template; the rectangle is in dialog units.
struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // UTF-8
    int x, y, cx, cy;
    bool hidden = false;
};

class CDialog : public QWidget {
public:
    explicit CDialog(QWidget* parent = nullptr);

    // Registers `control` (a child of this dialog) under `id`.
    void addControl(int id, QWidget* control);
    // Creates the template's controls as children placed in pixels: a
    // dialog unit is 1.5 pixels each way in the templates' 9-point font.
    void createControls(std::span<const ControlTemplate> controls);
    // Pixels of `units` dialog units.
    static int dluToPixels(int units);
    // The control of `id`, or null.
    QWidget* GetDlgItem(int id) const;
    // Text of a button, label, edit or combo box; nothing for an unknown id.
    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;
    // A signed number in an edit; 0 when the text is not one.
    int GetDlgItemInt(int id) const;
    void SetDlgItemInt(int id, int value);
    // Runs `handler` when the button of `id` is clicked.
    void onClicked(int id, std::function<void()> handler);
    void EnableDlgItem(int id, bool enable);
    void ShowDlgItem(int id, bool show);
    // Check boxes: 1 checked, 0 not.
    int IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int check);

    // Shows the dialog as a window that blocks the others and returns the
    // result `EndDialog` was given.
    int DoModal();
    // Ends the dialog with `result` (IDOK, IDCANCEL): closes its window.
    void EndDialog(int result);
    bool isModalRunning() const { return m_modalLoop != nullptr; }

    // Runs OnTimer(id) every `milliseconds` until KillTimer(id).
    void SetTimer(int id, int milliseconds);
    void KillTimer(int id);

    // Sees the key presses and mouse presses meant for this dialog or any
    // control inside it before they are delivered; true consumes one. The
    // innermost dialog sees a message first.
    virtual bool PreTranslateMessage(QEvent* event);

    // A page of a property sheet: told when it becomes the active page; in a
    // wizard asked before Next (-1 stays on the page) and before Finish
    // (false keeps the sheet open).
    virtual bool OnSetActive() { return true; }
    virtual int OnWizardNext() { return 0; }
    virtual bool OnWizardFinish() { return true; }

protected:
    // Runs once, before the dialog is first shown.
    virtual bool OnInitDialog() { return true; }
    virtual void OnTimer(int id) { (void)id; }
    // Closes the window; runs when the dialog ends.
    virtual void DestroyWindow();
    void showEvent(QShowEvent* event) override;
    // The title bar's close ends a modal dialog as a cancel.
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    std::map<int, QWidget*> m_controls;
    std::map<int, int> m_timers;  // own id -> Qt's id
    bool m_created = false;
    QEventLoop* m_modalLoop = nullptr;
    int m_result = 0;
};

}  // namespace Tessor::mfc
