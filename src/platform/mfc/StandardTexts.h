// The standard buttons (Yes, No, OK, Cancel, Back, Next, Finish, Help) in
// the operator's language: Qt's own translations, loaded once at start-up,
// before any window is made.
#pragma once

#include <QString>

namespace Tessor::mfc {

// Loads Qt's translations for the locale `name` ("zh_CN", "zh_TW") in place
// of any loaded before; an empty name leaves the English texts. False when
// Qt has none for it, or the application is not made yet.
[[nodiscard]] bool useStandardTexts(const QString& name);

}  // namespace Tessor::mfc
