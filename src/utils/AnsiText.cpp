#include "utils/AnsiText.h"

#include "platform/orrin/CodePage.h"

namespace Tessor::utils {

QString fromAnsi(const std::string& text) { return QString::fromStdString(CodePage::toUtf8(text)); }

std::string toAnsi(const QString& text) { return CodePage::fromUtf8(text.toStdString()); }

}  // namespace Tessor::utils
