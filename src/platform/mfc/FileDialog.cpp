#include "platform/mfc/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "platform/mfc/GuiThread.h"
#include "platform/mfc/ServiceSlot.h"

namespace Tessor::mfc {

namespace {

ServiceSlot<FileDialogService, ScreenFileDialogs> g_slot;

}  // namespace

QString toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break;
        }
        entries << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    }
    return entries.join(";;");
}

QString ScreenFileDialogs::openFile(const QString& filter, const QString& defaultExtension)
{
    ASSERT_GUI_THREAD();
    QFileDialog dialog(nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(toQtFilter(filter));
    dialog.setFilter(dialog.filter() | QDir::Hidden);
    dialog.setDefaultSuffix(QString(defaultExtension).remove(0, defaultExtension.startsWith('.') ? 1 : 0));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}

QString ScriptedFileDialogs::openFile(const QString& filter, const QString& /*defaultExtension*/)
{
    filters.append(filter);
    return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
}

void setFileDialogService(std::shared_ptr<FileDialogService> service) { g_slot.set(std::move(service)); }

std::shared_ptr<FileDialogService> fileDialogService() { return g_slot.get(); }

}  // namespace Tessor::mfc
