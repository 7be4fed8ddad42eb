#include "platform/mfc/PropertySheet.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/mfc/GuiThread.h"
#include "platform/mfc/MessageBox.h"

namespace Tessor::mfc {

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent)
    : CDialog(parent), m_tabs(new QTabBar(this)), m_stack(new QStackedWidget(this))
{
    setWindowFlags(Qt::Window);
    setWindowTitle(caption);
    m_tabs->setExpanding(false);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) { SetActivePage(index); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    // Worded as Qt's own wizards and dialog buttons, so its translations
    // give them in the operator's language.
    const struct {
        int id;
        const char* context;
        const char* text;
    } sheetButtons[] = {{ID_WIZBACK, "QWizard", "< &Back"}, {ID_WIZNEXT, "QWizard", "&Next >"},
                        {ID_WIZFINISH, "QWizard", "&Finish"}, {IDOK, "QPlatformTheme", "OK"},
                        {IDCANCEL, "QPlatformTheme", "Cancel"}, {ID_HELP, "QPlatformTheme", "Help"}};
    for (const auto& b : sheetButtons) {
        auto* button = new QPushButton(QCoreApplication::translate(b.context, b.text), this);
        button->setAutoDefault(false);
        addControl(b.id, button);
        buttons->addWidget(button);
    }
    connect(static_cast<QPushButton*>(GetDlgItem(ID_WIZBACK)), &QPushButton::clicked, this,
            [this] { SetActivePage(GetActiveIndex() - 1); });
    connect(static_cast<QPushButton*>(GetDlgItem(ID_WIZNEXT)), &QPushButton::clicked, this, [this] { wizardNext(); });
    connect(static_cast<QPushButton*>(GetDlgItem(ID_WIZFINISH)), &QPushButton::clicked, this,
            [this] { wizardFinish(); });
    connect(static_cast<QPushButton*>(GetDlgItem(IDOK)), &QPushButton::clicked, this, [this] { EndDialog(IDOK); });
    connect(static_cast<QPushButton*>(GetDlgItem(IDCANCEL)), &QPushButton::clicked, this,
            [this] { EndDialog(IDCANCEL); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack, 1);
    layout->addLayout(buttons);
    showButtons();
}

void CPropertySheet::AddPage(CDialog* page, const QString& title)
{
    ASSERT_GUI_THREAD();
    m_pages.push_back(page);
    m_stack->addWidget(page);
    m_tabs->addTab(title);
}

void CPropertySheet::RemovePage(CDialog* page)
{
    ASSERT_GUI_THREAD();
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    if (it == m_pages.end()) {
        return;
    }
    const int index = static_cast<int>(it - m_pages.begin());
    m_pages.erase(it);
    m_stack->removeWidget(page);
    page->setParent(nullptr);
    m_tabs->removeTab(index);
}

CDialog* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

QString CPropertySheet::GetPageTitle(int index) const { return m_tabs->tabText(index); }

int CPropertySheet::GetActiveIndex() const { return m_stack->currentIndex(); }

void CPropertySheet::SetActivePage(int index)
{
    if (index < 0 || index >= GetPageCount()) {
        return;
    }
    m_stack->setCurrentIndex(index);
    m_tabs->setCurrentIndex(index);
    if (m_wizard) {
        EnableDlgItem(ID_WIZBACK, index > 0);
        ShowDlgItem(ID_WIZNEXT, index + 1 < GetPageCount());
        ShowDlgItem(ID_WIZFINISH, index + 1 == GetPageCount());
    }
    GetPage(index)->OnSetActive();
}

void CPropertySheet::SetWizardButtons(int flags)
{
    ASSERT_GUI_THREAD();
    const bool finish = (flags & PSWIZB_FINISH) != 0;
    EnableDlgItem(ID_WIZBACK, (flags & PSWIZB_BACK) != 0);
    ShowDlgItem(ID_WIZNEXT, !finish);
    EnableDlgItem(ID_WIZNEXT, (flags & PSWIZB_NEXT) != 0);
    ShowDlgItem(ID_WIZFINISH, finish);
    EnableDlgItem(ID_WIZFINISH, finish);
}

void CPropertySheet::SetFinishText(const QString& text)
{
    ASSERT_GUI_THREAD();
    SetDlgItemText(ID_WIZFINISH, text);
}

void CPropertySheet::wizardNext()
{
    CDialog* page = GetPage(GetActiveIndex());
    if (page != nullptr && page->OnWizardNext() != -1) {
        SetActivePage(GetActiveIndex() + 1);
    }
}

void CPropertySheet::wizardFinish()
{
    CDialog* page = GetPage(GetActiveIndex());
    if (page == nullptr || page->OnWizardFinish()) {
        EndDialog(IDOK);
    }
}

void CPropertySheet::SetWizardMode(bool wizard)
{
    m_wizard = wizard;
    showButtons();
    SetActivePage(GetActiveIndex());
}

void CPropertySheet::showButtons()
{
    m_tabs->setVisible(!m_wizard);
    ShowDlgItem(ID_WIZBACK, m_wizard);
    ShowDlgItem(ID_WIZNEXT, m_wizard);
    ShowDlgItem(ID_WIZFINISH, m_wizard);
    ShowDlgItem(IDOK, !m_wizard);
}

void CPropertySheet::DestroyWindow()
{
    if (m_ending) {
        CDialog::DestroyWindow();
        return;
    }
    m_ending = true;
    EndDialog(IDOK);
}

void CPropertySheet::closeEvent(QCloseEvent* event)
{
    if (!m_ending) {
        event->ignore();
    }
}

}  // namespace Tessor::mfc
