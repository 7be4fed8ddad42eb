// Message boxes behind one replaceable service: the window shows them, a
// headless run logs the text and takes the default answer.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

class QMessageBox;

namespace Tessor::mfc {

// Button and icon flags and answers, as the pages pass and test them.
enum : unsigned { MB_OK = 0x0, MB_YESNO = 0x4, MB_ICONEXCLAMATION = 0x30 };
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Runs on the GUI thread; returns the answer.
    virtual int show(const QString& text, const QString& caption, unsigned type) = 0;
};

// Widget boxes on the screen.
class ScreenMessageBoxes : public MessageBoxService {
public:
    int show(const QString& text, const QString& caption, unsigned type) override;
    // The box show() runs, not yet shown.
    static std::unique_ptr<QMessageBox> build(const QString& text, const QString& caption, unsigned type);
};

// Logs every box (and writes it to standard error), keeps its text and
// answers with the box's first button unless an answer was set.
class HeadlessMessageBoxes : public MessageBoxService {
public:
    int show(const QString& text, const QString& caption, unsigned type) override;
    void setAnswer(int answer);
    QStringList texts() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    QStringList m_texts;
    int m_answer = 0;
};

// True when TESSOR_MESSAGE_BOX=log or the offscreen platform runs: no
// window waits for the operator.
bool isHeadless();

// The service every box goes through; the screen, or the headless one when
// TESSOR_MESSAGE_BOX=log or the offscreen platform runs.
void setMessageBoxService(std::shared_ptr<MessageBoxService> service);
std::shared_ptr<MessageBoxService> messageBoxService();

// A box from any thread; a caller off the GUI thread waits for the answer.
int AfxMessageBox(const QString& text, unsigned type = MB_OK | MB_ICONEXCLAMATION,
                  const QString& caption = QString());

}  // namespace Tessor::mfc
