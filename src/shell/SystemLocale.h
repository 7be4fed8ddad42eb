// The window's language: the system's own, and the locale file the station's
// configuration names for it.
#pragma once

#include <QString>

namespace Tessor::shell {

class SystemLocale {
public:
    static int language();
    // Empty when the configuration names no file for `language`.
    static QString fileFor(int language);
    // The name Qt's translations of its standard buttons go by for
    // `language`; empty for English.
    static QString qtName(int language);
};

}  // namespace Tessor::shell
