#include "platform/mfc/Dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QInputEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimerEvent>

#include "platform/mfc/GuiThread.h"
#include "platform/mfc/MessageBox.h"

namespace Tessor::mfc {

namespace {

// Hands key and mouse presses to the dialogs around their receiver before
// delivery. A press that the receiver leaves passes its parents through the
// filter again; it is handed over only once.
class MessageFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (isGuiWaker(watched)) {
            return false;
        }
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress) {
            return false;
        }
        if (handedOver(event)) {
            return false;
        }
        remember(event);
        bool taken = false;
        for (auto* widget = qobject_cast<QWidget*>(watched); widget != nullptr && !taken;
             widget = widget->parentWidget()) {
            if (auto* dialog = dynamic_cast<CDialog*>(widget)) {
                taken = dialog->PreTranslateMessage(event);
            }
        }
        // A dialog may have opened a box whose own presses passed here
        // meanwhile: the press goes on to the parents as the one handed over.
        remember(event);
        return taken;
    }

private:
    // A key press passes the parents as the same event, a mouse press as a
    // copy with the same time, place and button.
    bool handedOver(QEvent* event) const
    {
        if (event->type() != m_lastType || static_cast<QInputEvent*>(event)->timestamp() != m_lastTimestamp) {
            return false;
        }
        if (event == m_last) {
            return true;
        }
        auto* mouse = dynamic_cast<QMouseEvent*>(event);
        return mouse != nullptr && mouse->globalPosition() == m_lastPlace && mouse->button() == m_lastButton;
    }
    void remember(QEvent* event)
    {
        m_last = event;
        m_lastTimestamp = static_cast<QInputEvent*>(event)->timestamp();
        m_lastType = event->type();
        if (auto* mouse = dynamic_cast<QMouseEvent*>(event)) {
            m_lastPlace = mouse->globalPosition();
            m_lastButton = mouse->button();
        }
    }

    const QEvent* m_last = nullptr;
    quint64 m_lastTimestamp = 0;
    QEvent::Type m_lastType = QEvent::None;
    QPointF m_lastPlace;
    Qt::MouseButton m_lastButton = Qt::NoButton;
};

void installMessageFilter()
{
    static MessageFilter* filter = [] {
        auto* f = new MessageFilter();
        QCoreApplication::instance()->installEventFilter(f);
        return f;
    }();
    (void)filter;
}

QWidget* makeControl(const ControlTemplate& description, QWidget* parent)
{
    const QString text = QString::fromUtf8(description.text);
    switch (description.kind) {
    case ControlKind::Button:
        return new QPushButton(text, parent);
    case ControlKind::CheckBox:
        return new QCheckBox(text, parent);
    case ControlKind::GroupBox:
        return new QGroupBox(text, parent);
    case ControlKind::Label:
        return new QLabel(text, parent);
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit: {
        auto* edit = new QLineEdit(text, parent);
        edit->setReadOnly(description.kind == ControlKind::ReadOnlyEdit);
        return edit;
    }
    case ControlKind::DropDown:
    case ControlKind::ComboEdit: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(description.kind == ControlKind::ComboEdit);
        return combo;
    }
    case ControlKind::Progress:
        break;
    }
    return new QWidget(parent);
}

}  // namespace

CDialog::CDialog(QWidget* parent) : QWidget(parent)
{
    ASSERT_GUI_THREAD();
    installMessageFilter();
    // The templates' 9-point face: 12 pixels, narrow Latin letters, and the
    // CJK face for Chinese texts.
    QFont font;
    font.setFamilies({"DejaVu Sans", "WenQuanYi Micro Hei"});
    font.setStretch(QFont::SemiCondensed);
    font.setPixelSize(12);
    setFont(font);
}

void CDialog::addControl(int id, QWidget* control)
{
    ASSERT_GUI_THREAD();
    m_controls[id] = control;
}

int CDialog::dluToPixels(int units) { return units * 3 / 2; }

void CDialog::createControls(std::span<const ControlTemplate> controls)
{
    for (const ControlTemplate& description : controls) {
        QWidget* control = makeControl(description, this);
        control->setGeometry(dluToPixels(description.x), dluToPixels(description.y), dluToPixels(description.cx), dluToPixels(description.cy));
        control->setVisible(!description.hidden);
        // Frames lie behind the controls they hold.
        if (description.kind == ControlKind::GroupBox) {
            control->lower();
        }
        addControl(description.id, control);
    }
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
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setEditText(text);
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
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        return group->title();
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return combo->currentText();
    }
    return QString();
}

int CDialog::GetDlgItemInt(int id) const
{
    bool number = false;
    const int value = GetDlgItemText(id).trimmed().toInt(&number);
    return number ? value : 0;
}

void CDialog::SetDlgItemInt(int id, int value) { SetDlgItemText(id, QString::number(value)); }

void CDialog::onClicked(int id, std::function<void()> handler)
{
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id))) {
        connect(button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { handler(); });
    }
}

void CDialog::EnableDlgItem(int id, bool enable)
{
    ASSERT_GUI_THREAD();
    if (QWidget* control = GetDlgItem(id)) {
        control->setEnabled(enable);
    }
}

void CDialog::ShowDlgItem(int id, bool show)
{
    ASSERT_GUI_THREAD();
    if (QWidget* control = GetDlgItem(id)) {
        control->setVisible(show);
    }
}

int CDialog::IsDlgButtonChecked(int id) const
{
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    return button != nullptr && button->isChecked() ? 1 : 0;
}

void CDialog::CheckDlgButton(int id, int check)
{
    ASSERT_GUI_THREAD();
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id))) {
        button->setChecked(check != 0);
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

void CDialog::SetTimer(int id, int milliseconds)
{
    ASSERT_GUI_THREAD();
    KillTimer(id);
    m_timers[id] = startTimer(milliseconds);
}

void CDialog::KillTimer(int id)
{
    auto it = m_timers.find(id);
    if (it != m_timers.end()) {
        killTimer(it->second);
        m_timers.erase(it);
    }
}

bool CDialog::PreTranslateMessage(QEvent*) { return false; }

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

void CDialog::closeEvent(QCloseEvent* event)
{
    if (m_modalLoop != nullptr) {
        event->ignore();
        EndDialog(IDCANCEL);
        return;
    }
    QWidget::closeEvent(event);
}

void CDialog::timerEvent(QTimerEvent* event)
{
    for (const auto& [id, qtId] : m_timers) {
        if (qtId == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QWidget::timerEvent(event);
}

}  // namespace Tessor::mfc
