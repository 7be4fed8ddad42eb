// The texts of the window in the operator's language. Every visible text is
// written in English and looked up here: English shows the key itself,
// Chinese the value of the key in section "LocaleText" of the language's
// locale file, or the key when the file lacks it.
#pragma once

#include <QString>
#include <string>

#include "utils/LanguageCodes.h"

namespace Tessor::utils {

class MavikLang {
public:
    // The result holds 260 units with its terminator: longer keys and values
    // are cut to this.
    static constexpr int TEXT_LIMIT = 259;

    // `fileName` is the locale file of `language`; files are taken from
    // `workDir`.
    MavikLang(int language, const QString& fileName, const std::string& workDir);

    int getLanguage() const { return m_language; }
    const QString& getFileName() const { return m_fileName; }
    // Reads the file again on every call: nothing is cached.
    QString getText(const QString& key) const;

    // The texts every page and record use; until one is installed the keys
    // are shown as they are.
    static void install(const MavikLang* lang);
    static QString text(const QString& key);
    static QString text(const char* key) { return text(QString::fromLatin1(key)); }
    // The installed texts' language; English until texts are installed.
    static int language();

private:
    // The value of `key`, empty when the file or the key is missing;
    // `reason` says which.
    QString readLocaleText(const QString& key, std::string& reason) const;

    int m_language;
    QString m_fileName;
    std::string m_workDir;
};

}  // namespace Tessor::utils
