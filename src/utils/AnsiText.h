// Narrow texts of the system (GBK) at the edge of the widgets, which take
// QString.
#pragma once

#include <QString>
#include <string>

namespace Tessor::utils {

QString fromAnsi(const std::string& text);
std::string toAnsi(const QString& text);

}  // namespace Tessor::utils
