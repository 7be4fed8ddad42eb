// The window's texts in the system's language, from locale files in the
// Chinese code page or in UTF-16.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "utils/AnsiText.h"
#include "support/LogCapture.h"
#include "schema/ui/EngineHarness.h"
#include "shell/SystemLocale.h"
#include "utils/MavikLang.h"

namespace {

using namespace Tessor;
using utils::MavikLang;

// The language and file the window starts with.
MavikLang systemLang(const std::string& workDir)
{
    const int language = shell::SystemLocale::language();
    return MavikLang(language, shell::SystemLocale::fileFor(language), workDir);
}

const QString START_ZH = QString::fromUtf8("开始");

int count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class MavikLangTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine_test::EngineEnvironment::instance();
        m_saved = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    }
    void TearDown() override { setenv("LC_ALL", m_saved.c_str(), 1); }

    // A locale file in the folder the texts are read from, by a relative
    // Windows-style name; `wide` writes it as UTF-16 with its mark.
    std::string writeLocaleFile(const std::string& name, bool wide)
    {
        const QString text = QString::fromUtf8("[LocaleText]\r\nStart=开始\r\nEmpty=\r\n");
        std::ofstream out(m_log.dir() + "/" + name, std::ios::binary);
        if (wide) {
            out << "\xFF\xFE";
            out.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        } else {
            out << utils::toAnsi(text);
        }
        return ".\\" + name;
    }

    test_support::LogCapture m_log;
    std::string m_saved;
};

TEST_F(MavikLangTest, SimplifiedChineseReadsItsFileInEitherEncoding)
{
    setenv("LC_ALL", "zh_CN.GBK", 1);
    for (bool wide : {false, true}) {
        const std::string name = wide ? "zh_wide.ini" : "zh_gbk.ini";
        schema::UsbConfiguration::instance()->addLocale("sChinese", writeLocaleFile(name, wide));
        const MavikLang lang = systemLang(m_log.dir());
        ASSERT_EQ(lang.getLanguage(), schema::LANG_SCHINESE);
        EXPECT_EQ(lang.getText("Start"), START_ZH) << name;
        const std::string before = m_log.text();
        EXPECT_EQ(lang.getText("Cancel"), "Cancel") << name;
        EXPECT_EQ(lang.getText("Empty"), "Empty") << name;
        const std::string warnings = m_log.text().substr(before.size());
        EXPECT_EQ(count(warnings, "Locale string 'Cancel' is not found"), 1) << name;
        EXPECT_EQ(count(warnings, "Locale string 'Empty' is not found"), 1) << name;
    }
}

TEST_F(MavikLangTest, GermanShowsEnglishWithoutReadingAnyFile)
{
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    schema::UsbConfiguration::instance()->addLocale("sChinese", writeLocaleFile("zh.ini", false));
    const MavikLang lang = systemLang(m_log.dir());
    EXPECT_EQ(lang.getLanguage(), utils::LANG_ENGLISH);
    EXPECT_EQ(lang.getText("Start"), "Start");
    EXPECT_EQ(count(m_log.text(), "is not found"), 0);
}

TEST_F(MavikLangTest, TraditionalChineseWithoutItsFileShowsEnglishAndWarnsEachTime)
{
    setenv("LC_ALL", "zh_TW.BIG5", 1);
    const MavikLang lang = systemLang(m_log.dir());
    EXPECT_EQ(lang.getLanguage(), schema::LANG_TCHINESE);
    EXPECT_EQ(lang.getText("Start"), "Start");
    EXPECT_EQ(lang.getText("Start"), "Start");
    EXPECT_EQ(count(m_log.text(), "Locale string 'Start' is not found"), 2);
}

TEST_F(MavikLangTest, KeysLongerThanTheResultAreCut)
{
    const MavikLang lang(utils::LANG_ENGLISH, QString(), m_log.dir());
    EXPECT_EQ(lang.getText(QString(300, 'k')).size(), MavikLang::TEXT_LIMIT);
}

}  // namespace
