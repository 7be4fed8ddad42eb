#include "shell/SystemLocale.h"

#include "schema/base/SystemInfo.h"
#include "schema/base/UsbConfiguration.h"
#include "utils/AnsiText.h"

namespace Tessor::shell {

int SystemLocale::language()
{
    Sptr<schema::SystemLang> id = schema::SystemInfo::getSystemLanguage();
    if (id->primaryLanguage == 4) {
        if (id->subLanguage == 2) {
            return utils::LANG_SCHINESE;
        }
        if (id->subLanguage == 1) {
            return utils::LANG_TCHINESE;
        }
    }
    return utils::LANG_ENGLISH;
}

QString SystemLocale::fileFor(int language)
{
    schema::UsbConfiguration* config = schema::UsbConfiguration::instance();
    const char* name = config != nullptr ? config->getLocaleFileName(static_cast<utils::MAVIK_LANG_T>(language))
                                         : nullptr;
    return name != nullptr ? utils::fromAnsi(name) : QString();
}

QString SystemLocale::qtName(int language)
{
    switch (language) {
    case utils::LANG_SCHINESE: return "zh_CN";
    case utils::LANG_TCHINESE: return "zh_TW";
    default: return QString();
    }
}

}  // namespace Tessor::shell
