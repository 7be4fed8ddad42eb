// A property sheet: pages under tabs, or one after the other as a wizard,
// above the sheet's buttons. A page is set up when it is first shown.
#pragma once

#include <QString>
#include <vector>

#include "platform/mfc/Dialog.h"

class QStackedWidget;
class QTabBar;

namespace Tessor::mfc {

class CPropertySheet : public CDialog {
public:
    // Buttons of the sheet, addressed like the pages' controls.
    enum : int { ID_HELP = 9, ID_WIZBACK = 0x3023, ID_WIZNEXT = 0x3024, ID_WIZFINISH = 0x3025 };

    explicit CPropertySheet(const QString& caption, QWidget* parent = nullptr);

    // The sheet does not own the page.
    void AddPage(CDialog* page, const QString& title);
    void RemovePage(CDialog* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CDialog* GetPage(int index) const;
    QString GetPageTitle(int index) const;
    int GetActiveIndex() const;
    void SetActivePage(int index);

    // Wizard: no tabs; Back, Next, Finish and Cancel in place of OK and Cancel.
    void SetWizardMode(bool wizard);
    bool IsWizardMode() const { return m_wizard; }
    // The wizard buttons a page offers: PSWIZB_BACK, PSWIZB_NEXT and
    // PSWIZB_FINISH (which takes Next's place); none of them for 0.
    enum : int { PSWIZB_BACK = 1, PSWIZB_NEXT = 2, PSWIZB_FINISH = 4 };
    void SetWizardButtons(int flags);
    void SetFinishText(const QString& text);

    // Ends the sheet (the exit path of the pages).
    void DestroyWindow() override;

protected:
    // Only the pages' own exit path ends the sheet.
    void closeEvent(QCloseEvent* event) override;

private:
    void showButtons();
    void wizardNext();
    void wizardFinish();

    QTabBar* m_tabs;
    QStackedWidget* m_stack;
    std::vector<CDialog*> m_pages;
    bool m_wizard = false;
    bool m_ending = false;
};

}  // namespace Tessor::mfc
