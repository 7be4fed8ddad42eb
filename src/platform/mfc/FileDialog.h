// The open-file dialog behind one replaceable service: the window shows a
// file dialog, a test scripts the answers.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace Tessor::mfc {

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // `filter` as the pages write it: "text|pattern|text|pattern||". The
    // full path chosen, empty when cancelled. GUI thread only.
    virtual QString openFile(const QString& filter, const QString& defaultExtension) = 0;
};

// A file dialog on the screen; hidden files shown, the process's current
// folder never changed.
class ScreenFileDialogs : public FileDialogService {
public:
    QString openFile(const QString& filter, const QString& defaultExtension) override;
};

// Answers with the paths given, in order, then cancels.
class ScriptedFileDialogs : public FileDialogService {
public:
    QString openFile(const QString& filter, const QString& defaultExtension) override;
    void answer(const QString& path) { m_answers.append(path); }
    // The filter of every dialog asked for.
    QStringList filters;

private:
    QStringList m_answers;
};

void setFileDialogService(std::shared_ptr<FileDialogService> service);
std::shared_ptr<FileDialogService> fileDialogService();

// The filter of the pages in the dialog's own form: "text (pattern);;...".
QString toQtFilter(const QString& filter);

}  // namespace Tessor::mfc
