#include "utils/MavikLang.h"

#include <QStringDecoder>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/ini/IniText.h"
#include "platform/orrin/PlatformLog.h"
#include "utils/AnsiText.h"
#include "platform/orrin/CodePage.h"
#include "platform/orrin/HostPath.h"

namespace Tessor::utils {

namespace {

const char* const SECTION = "LocaleText";
std::atomic<const MavikLang*> g_installed{nullptr};

}  // namespace

MavikLang::MavikLang(int language, const QString& fileName, const std::string& workDir)
    : m_language(language), m_fileName(fileName), m_workDir(workDir)
{
}

QString MavikLang::getText(const QString& key) const
{
    const QString cut = key.left(TEXT_LIMIT);
    if (m_language != LANG_SCHINESE && m_language != LANG_TCHINESE) {
        return cut;
    }
    std::string reason;
    const QString value = readLocaleText(cut, reason);
    if (!value.isEmpty()) {
        return value.left(TEXT_LIMIT);
    }
    PLATFORM_LOG(4, "Locale string '%s' is not found : %s", toAnsi(cut).c_str(), reason.c_str());
    return cut;
}

QString MavikLang::readLocaleText(const QString& key, std::string& reason) const
{
    if (m_fileName.isEmpty()) {
        reason = "no locale file is configured for this language";
        return QString();
    }
    // A relative name is taken from the folder the tool was started in.
    const std::string name = toAnsi(m_fileName);
    const bool relative = !name.empty() && name[0] != '/' && name[0] != '\\';
    const std::string path = HostPath::toHost(relative ? CodePage::fromUtf8(m_workDir) + "\\" + name : name);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = std::string(path) + ": " + std::strerror(errno);
        return QString();
    }
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string raw = bytes.str();
    // A file saved as UTF-16 with its byte-order mark is read in UTF-8,
    // any other in the ANSI code page.
    const bool wide = raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF &&
                      static_cast<unsigned char>(raw[1]) == 0xFE;
    IO::IniText ini;
    std::string value;
    bool found = false;
    // A key in the file has no blanks around it.
    const QString trimmed = key.trimmed();
    if (wide) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        const QString text = decoder.decode(QByteArrayView(raw.data() + 2, static_cast<qsizetype>(raw.size() - 2)));
        ini.parse(text.toStdString());
        found = ini.find(SECTION, trimmed.toStdString(), value);
    } else {
        ini.parse(raw);
        found = ini.find(SECTION, toAnsi(trimmed), value);
    }
    if (!found) {
        reason = "no such key in section LocaleText of " + path;
        return QString();
    }
    if (value.empty()) {
        reason = "the key is empty in section LocaleText of " + path;
    }
    return wide ? QString::fromStdString(value) : fromAnsi(value);
}

void MavikLang::install(const MavikLang* lang) { g_installed.store(lang); }

int MavikLang::language()
{
    const MavikLang* lang = g_installed.load();
    return lang != nullptr ? lang->getLanguage() : LANG_ENGLISH;
}

QString MavikLang::text(const QString& key)
{
    const MavikLang* lang = g_installed.load();
    return lang != nullptr ? lang->getText(key) : key.left(TEXT_LIMIT);
}

}  // namespace Tessor::utils
