#include "platform/mfc/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/mfc/GuiThread.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::mfc {

namespace {

std::mutex g_serviceMutex;
std::shared_ptr<MessageBoxService> g_service;

int firstButton(unsigned type) { return (type & 0xF) == MB_YESNO ? IDYES : IDOK; }

}  // namespace

bool isHeadless()
{
    const char* choice = std::getenv("TESSOR_MESSAGE_BOX");
    if (choice != nullptr) {
        return std::strcmp(choice, "log") == 0;
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return platform != nullptr && std::strcmp(platform, "offscreen") == 0;
}

std::unique_ptr<QMessageBox> ScreenMessageBoxes::build(const QString& text, const QString& caption, unsigned type)
{
    const bool yesNo = (type & 0xF) == MB_YESNO;
    return std::make_unique<QMessageBox>(QMessageBox::Warning,
                                         caption.isEmpty() ? QCoreApplication::applicationName() : caption, text,
                                         yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
}

int ScreenMessageBoxes::show(const QString& text, const QString& caption, unsigned type)
{
    const int pressed = build(text, caption, type)->exec();
    if ((type & 0xF) != MB_YESNO) {
        return IDOK;
    }
    return pressed == QMessageBox::Yes ? IDYES : IDNO;
}

int HeadlessMessageBoxes::show(const QString& text, const QString& caption, unsigned type)
{
    PLATFORM_LOG(4, "Message box '%s': %s", caption.toUtf8().constData(), text.toUtf8().constData());
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::lock_guard<std::mutex> lock(m_mutex);
    m_texts.append(text);
    return m_answer != 0 ? m_answer : firstButton(type);
}

void HeadlessMessageBoxes::setAnswer(int answer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answer = answer;
}

QStringList HeadlessMessageBoxes::texts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts;
}

void HeadlessMessageBoxes::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_texts.clear();
}

void setMessageBoxService(std::shared_ptr<MessageBoxService> service)
{
    std::lock_guard<std::mutex> lock(g_serviceMutex);
    g_service = std::move(service);
}

std::shared_ptr<MessageBoxService> messageBoxService()
{
    std::lock_guard<std::mutex> lock(g_serviceMutex);
    if (!g_service) {
        if (isHeadless()) {
            g_service = std::make_shared<HeadlessMessageBoxes>();
        } else {
            g_service = std::make_shared<ScreenMessageBoxes>();
        }
    }
    return g_service;
}

int AfxMessageBox(const QString& text, unsigned type, const QString& caption)
{
    std::shared_ptr<MessageBoxService> service = messageBoxService();
    return askOnGui([=] { return service->show(text, caption, type); }, firstButton(type));
}

}  // namespace Tessor::mfc
