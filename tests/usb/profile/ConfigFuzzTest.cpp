// The configuration reader fed generated files. Lines of known tags carry
// values drawn at, beside and far across each tag's limits, among comments,
// blank lines and unknown tags; a model of the reader says what each line
// does. A taken value reads back, a refused one is told with its line and
// tag and stops the station, and a value not taken leaves the last one
// taken. Random bytes never break the reader nor swallow the line after them.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "schema/base/UsbConfiguration.h"
#include "support/TempFolder.h"

using Tessor::schema::UsbConfiguration;

namespace {

using Random = std::mt19937;

enum class Outcome {
    Taken,    // no notice about the line
    Noticed,  // a notice naming the tag; the station may still start
    Refused,  // a notice naming the tag, and the station does not start
};

struct Reading {
    Outcome outcome;
    std::optional<std::string> value;  // what the setting reads after the line; none: unchanged
};

struct TagRule {
    const char* tag;
    std::function<std::string(Random&)> draw;
    std::function<Reading(const std::string&)> expect;
    std::function<std::string(const UsbConfiguration&)> read;
};

template <typename T>
const T& pick(Random& random, const std::vector<T>& from)
{
    return from[random() % from.size()];
}

long long between(Random& random, long long low, long long high)
{
    return std::uniform_int_distribution<long long>(low, high)(random);
}

// Text of `length` bytes from `alphabet`, never blank at either end.
std::string text(Random& random, const std::string& alphabet, size_t length)
{
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        out += alphabet[random() % alphabet.size()];
    }
    if (!out.empty()) {
        out.front() = out.front() == ' ' || out.front() == '\t' ? 'a' : out.front();
        out.back() = out.back() == ' ' || out.back() == '\t' ? 'z' : out.back();
    }
    return out;
}

// A whole decimal number, sign and leading zeros allowed; none when the
// text is anything else or too long for any limit.
std::optional<long long> decimal(const std::string& value)
{
    const size_t digits = value.find_first_not_of("+-") == 1 ? 1 : 0;
    if (value.size() <= digits || value.find_first_not_of("0123456789", digits) != std::string::npos) {
        return std::nullopt;
    }
    const size_t first = std::min(value.find_first_not_of('0', digits), value.size());
    if (value.size() - first > 18) {
        return value[0] == '-' ? LLONG_MIN : LLONG_MAX;
    }
    const long long magnitude = first == value.size() ? 0 : std::stoll(value.substr(first));
    return value[0] == '-' ? -magnitude : magnitude;
}

std::string drawNumber(Random& random, long long low, long long high)
{
    const long long inside = between(random, low, high);
    const std::vector<std::string> forms = {
        std::to_string(low),        std::to_string(high),       std::to_string(low - 1),
        std::to_string(high + 1),   std::to_string(inside),     std::to_string(inside),
        "+" + std::to_string(inside), "00" + std::to_string(std::max(0LL, inside)),
        "99999999999999999999",     "-99999999999999999999",    std::to_string(inside) + "x",
        "x" + std::to_string(inside), "1 2",                    "0x10",
        "-",                        "+",
    };
    return pick(random, forms);
}

// A number tag: taken within [low, high]; `failed` says what any other value does.
TagRule numberRule(const char* tag, long long low, long long high, std::function<int(const UsbConfiguration&)> get,
                   Reading failed = {Outcome::Refused, std::nullopt})
{
    return {tag, [=](Random& random) { return drawNumber(random, low, high); },
            [=](const std::string& value) {
                const std::optional<long long> number = decimal(value);
                return number && *number >= low && *number <= high ? Reading{Outcome::Taken, std::to_string(*number)}
                                                                  : failed;
            },
            [=](const UsbConfiguration& c) { return std::to_string(get(c)); }};
}

// A tag that takes only the words of `known`, each read back as its text.
TagRule wordRule(const char* tag, const std::vector<std::pair<std::string, std::string>>& known,
                 const std::vector<std::string>& unknown, std::function<std::string(const UsbConfiguration&)> read)
{
    std::vector<std::string> words = unknown;
    for (const auto& word : known) {
        words.push_back(word.first);
    }
    return {tag, [=](Random& random) { return pick(random, words); },
            [=](const std::string& value) {
                for (const auto& word : known) {
                    if (word.first == value) {
                        return Reading{Outcome::Taken, word.second};
                    }
                }
                return Reading{Outcome::Refused, std::nullopt};
            },
            std::move(read)};
}

const std::string PRINTABLE = " \t%#abcdefXYZ0123456789_.-\\/'\"\xB0\xA1\xD6\xD0";

std::vector<TagRule> tagRules()
{
    using C = const UsbConfiguration&;
    const auto flag = [](bool on) { return std::string(on ? "on" : "off"); };
    const std::vector<std::pair<std::string, std::string>> switches = {{"True", "on"}, {"False", "off"}};
    const std::vector<std::string> notSwitches = {"true", "TRUE", "1", "yes", "False x", "True\tTrue"};
    return {
        numberRule("Log_Size", UsbConfiguration::LOG_SIZE_MIN, UsbConfiguration::LOG_SIZE_MAX,
                   [](C c) { return c.getLogSize(); }),
        numberRule("WatchDog_Time", 0, INT_MAX, [](C c) { return c.getWatchDogTime(); }),
        numberRule("Timeout", 0, INT_MAX, [](C c) { return c.getTimeout(); }),
        numberRule("UpperRation", INT_MIN, INT_MAX, [](C c) { return c.getUpperRation(); }),
        numberRule("CfgTableCount", 1, UsbConfiguration::MAX_CFG_TABLE_COUNT, [](C c) { return c.getCfgTableCount(); }),
        // The port count is checked only by the function that needs it.
        numberRule("Device_Count", 1, UsbConfiguration::MAX_DEVICE_COUNT,
                   [](C c) {
                       UsbConfiguration factory(c);
                       factory.setCurrentFunction(Tessor::schema::FUNCTION_FACTORY);
                       return factory.getDeviceCount();
                   },
                   {Outcome::Noticed, "0"}),
        {"Log_Level", [](Random& random) { return drawNumber(random, -3, 13); },
         [](const std::string& value) {
             const std::optional<long long> number = decimal(value);
             if (!number || *number < INT_MIN || *number > INT_MAX) {
                 return Reading{Outcome::Refused, std::nullopt};
             }
             return *number >= 0 && *number <= 10 ? Reading{Outcome::Taken, std::to_string(*number)}
                                                  : Reading{Outcome::Noticed, "4"};
         },
         [](C c) { return std::to_string(c.getLogLevel()); }},
        wordRule("DpfSupport", switches, notSwitches, [flag](C c) { return flag(c.isDpfSupport()); }),
        wordRule("Mp3Support", switches, notSwitches, [flag](C c) { return flag(c.isMp3Support()); }),
        wordRule("CurrentFunction", {{"UDiskFactory", "0"}, {"UDiskUser", "1"}, {"Kelvo", "2"}},
                 {"Login", "udiskfactory", "UDiskFactory2"},
                 [](C c) { return std::to_string(int(c.getCurrentFunction())); }),
        wordRule("ChipSet", {{"6706", "1"}, {"6716", "3"}, {"6716V31", "4"}, {"6726", "6"}, {"6605", "7"}},
                 {"6716v31", "9999", "67 16", "Unknown"}, [](C c) { return std::to_string(c.getChipSet()); }),
        {"User_Name", [](Random& random) { return text(random, PRINTABLE, 1 + random() % 60); },
         [](const std::string& value) { return Reading{Outcome::Taken, value}; },
         [](C c) { return c.getUserName(); }},
        {"FlashProfile", [](Random& random) { return text(random, "abc019._\\/ ", 1 + random() % 40); },
         [](const std::string& value) {
             std::string path = value;
             std::replace(path.begin(), path.end(), '\\', '/');
             return Reading{Outcome::Taken, path};
         },
         [](C c) { return c.getFlashFileName(); }},
        // Two words: the language, then its file.
        {"LocaleFile",
         [](Random& random) {
             return pick(random, std::vector<std::string>{"sChinese", "tChinese", "French", "schinese"}) +
                    pick(random, std::vector<std::string>{"", " ", "\t"}) + text(random, "ab1.\\ ", random() % 12);
         },
         [](const std::string& value) {
             const size_t gap = value.find_first_of(" \t");
             const std::string language = value.substr(0, gap);
             const size_t file = gap == std::string::npos ? gap : value.find_first_not_of(" \t", gap);
             if (file == std::string::npos) {
                 return Reading{Outcome::Noticed, std::nullopt};
             }
             if (language != "sChinese" && language != "tChinese") {
                 return Reading{Outcome::Refused, std::nullopt};
             }
             std::string path = value.substr(file, value.find_first_of(" \t", file) - file);
             std::replace(path.begin(), path.end(), '\\', '/');
             return Reading{Outcome::Taken, language == "sChinese" ? std::optional<std::string>(path) : std::nullopt};
         },
         [](C c) {
             const char* file = c.getLocaleFileName(Tessor::schema::LANG_SCHINESE);
             return std::string(file ? file : "");
         }},
    };
}

struct Line {
    std::string text;
    Outcome outcome;
    std::string told;  // what a notice about the line names
};

// Reads `file` as the station does, without its notices on the terminal.
const UsbConfiguration& load(const std::string& file)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    UsbConfiguration::instance(file);
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    return *UsbConfiguration::instance();
}

// The notices about line `number` of `file`.
std::vector<std::string> noticesOfLine(const UsbConfiguration& c, const std::string& file, size_t number)
{
    const std::string prefix = file + " line " + std::to_string(number) + ": ";
    std::vector<std::string> found;
    for (const std::string& notice : c.getNotices()) {
        if (notice.rfind(prefix, 0) == 0) {
            found.push_back(notice);
        }
    }
    return found;
}

TEST(ConfigFuzz, EveryLineIsTakenOrToldAsItsRulesSay)
{
    test_support::TempFolder folder;
    const std::vector<TagRule> rules = tagRules();
    UsbConfiguration defaults;
    Random random(20240611);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> expected;
        for (const TagRule& rule : rules) {
            expected.push_back(rule.read(defaults));
        }
        std::vector<Line> lines;
        const int count = 1 + int(random() % 40);
        for (int i = 0; i < count; ++i) {
            const unsigned kind = random() % 10;
            if (kind == 0) {
                lines.push_back({"#" + text(random, PRINTABLE, random() % 30), Outcome::Taken, ""});
            } else if (kind == 1) {
                lines.push_back({pick(random, std::vector<std::string>{"", " ", "\t \t"}), Outcome::Taken, ""});
            } else if (kind == 2) {
                lines.push_back({"Log_Sizes int 100", Outcome::Noticed, "unknown tag Log_Sizes"});
            } else {
                const size_t r = random() % rules.size();
                const std::string value = rules[r].draw(random);
                const Reading reading = rules[r].expect(value);
                if (reading.value) {
                    expected[r] = *reading.value;
                }
                const std::string gap = pick(random, std::vector<std::string>{" ", "\t", "  \t "});
                lines.push_back({std::string(rules[r].tag) + gap + pick(random, std::vector<std::string>{"int", "string", "x"}) +
                                     gap + value,
                                 reading.outcome, std::string("tag ") + rules[r].tag});
            }
        }
        std::string content;
        for (const Line& line : lines) {
            content += line.text + pick(random, std::vector<std::string>{"\n", "\r\n", " \n", "\t\r\n"});
        }
        const std::string file = folder.write("fuzz.cfg", content);
        const UsbConfiguration& c = load(file);
        SCOPED_TRACE("round " + std::to_string(round) + ":\n" + content);

        for (size_t r = 0; r < rules.size(); ++r) {
            EXPECT_EQ(rules[r].read(c), expected[r]) << rules[r].tag;
        }
        const Line* firstRefused = nullptr;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::vector<std::string> told = noticesOfLine(c, file, i + 1);
            if (lines[i].outcome == Outcome::Taken) {
                EXPECT_TRUE(told.empty()) << lines[i].text << " told " << testing::PrintToString(told);
                continue;
            }
            EXPECT_TRUE(std::any_of(told.begin(), told.end(),
                                    [&](const std::string& notice) {
                                        return notice.find(lines[i].told) != std::string::npos;
                                    }))
                << lines[i].text << " told " << testing::PrintToString(told);
            if (lines[i].outcome == Outcome::Refused && !firstRefused) {
                firstRefused = &lines[i];
                std::string cause;
                EXPECT_FALSE(c.checkStation(UsbConfiguration::MAX_DEVICE_COUNT, cause)) << lines[i].text;
                EXPECT_EQ(cause.rfind(file + " line " + std::to_string(i + 1) + ": ", 0), 0u) << cause;
            }
        }
        if (::testing::Test::HasFailure()) {
            break;
        }
    }
}

TEST(ConfigFuzz, RandomBytesNeitherBreakTheReaderNorSwallowTheNextLine)
{
    test_support::TempFolder folder;
    Random random(99);
    const std::string longWord(2000, 'w');
    const std::vector<std::string> words = {"Log_Size", "PlugIn", "ScanCode", "LocaleFile", "Version", "ChipSet", "#",
                                            " ",        "\t",     "\n",       "\r\n",       "int",     "x",       longWord,
                                            "\xEF\xBB\xBF", std::string(1, '\0')};
    for (int round = 0; round < 200; ++round) {
        std::string content;
        const int pieces = int(random() % 300);
        for (int i = 0; i < pieces; ++i) {
            if (round % 2) {
                content += char(random() & 0xFF);
            } else {
                content += pick(random, words) + ' ';
            }
        }
        const std::string file = folder.write("fuzz.cfg", content + "\nUser_Name string after the noise\n");
        const UsbConfiguration& c = load(file);
        EXPECT_EQ(c.getUserName(), "after the noise") << "round " << round;
        for (const std::string& notice : c.getNotices()) {
            EXPECT_EQ(notice.rfind(file, 0), 0u) << notice;
        }
        if (::testing::Test::HasFailure()) {
            break;
        }
    }
}

}  // namespace
