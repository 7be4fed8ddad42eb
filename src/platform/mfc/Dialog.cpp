#include "platform/mfc/Dialog.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>

#include "platform/mfc/GuiThread.h"

namespace Tessor::mfc {

CDialog::CDialog(QWidget* parent) : QWidget(parent) { ASSERT_GUI_THREAD(); }

void CDialog::addControl(int id, QWidget* control)
{
    ASSERT_GUI_THREAD();
    m_controls[id] = control;
}

QWidget* CDialog::GetDlgItem(int id) const
{
    auto it = m_controls.find(id);
    return it != m_controls.end() ? it->second : nullptr;
}

void CDialog::SetDlgItemText(int id, const QString& text)
{
    ASSERT_GUI_THREAD();
    QWidget* control = GetDlgItem(id);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    }
}

QString CDialog::GetDlgItemText(int id) const
{
    ASSERT_GUI_THREAD();
    QWidget* control = GetDlgItem(id);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        return edit->text();
    }
    return QString();
}

void CDialog::EnableDlgItem(int id, bool enable)
{
    ASSERT_GUI_THREAD();
    if (QWidget* control = GetDlgItem(id)) {
        control->setEnabled(enable);
    }
}

int CDialog::DoModal()
{
    ASSERT_GUI_THREAD();
    QEventLoop loop;
    m_modalLoop = &loop;
    m_result = 0;
    setWindowModality(Qt::ApplicationModal);
    show();
    loop.exec();
    m_modalLoop = nullptr;
    return m_result;
}

void CDialog::EndDialog(int result)
{
    ASSERT_GUI_THREAD();
    m_result = result;
    DestroyWindow();
    if (m_modalLoop) {
        m_modalLoop->quit();
    }
}

void CDialog::DestroyWindow() { hide(); }

void CDialog::showEvent(QShowEvent* event)
{
    ASSERT_GUI_THREAD();
    if (!m_created) {
        m_created = true;
        OnInitDialog();
    }
    QWidget::showEvent(event);
}

}  // namespace Tessor::mfc
