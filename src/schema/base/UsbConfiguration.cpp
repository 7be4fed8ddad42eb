#include "schema/base/UsbConfiguration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>

#include "platform/ini/RegularFile.h"
#include "platform/orrin/HostPath.h"
#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/VException.h"

namespace Tessor::schema {

UsbConfiguration* UsbConfiguration::usbConfiguration = nullptr;
std::string UsbConfiguration::parsingFile;
int UsbConfiguration::parsingLine = 0;

namespace {

// The record of a chip set the device library does not know.
const _HW_VERSION_T unknownHwVersion = {CHIPSET_UNKNOWN, 0, "Unknown"};

enum Tag {
    TAG_USER_NAME, TAG_DISPLAY_NAME, TAG_PASS_WORD, TAG_LOG_SIZE, TAG_LOG_LEVEL, TAG_LOG_FILENAME,
    TAG_WATCHDOG_TIME, TAG_DEVICE_NAME, TAG_TIMEOUT, TAG_PLUGIN, TAG_DEVICE_COUNT, TAG_FLASH_PROFILE,
    TAG_LCD_PROFILE, TAG_USER_PROFILE, TAG_DPF_PROFILE, TAG_MP3_PROFILE, TAG_SCAN_CODE, TAG_UDISK_CODE,
    TAG_DPF_CODE, TAG_DPF_SUPPORT, TAG_MP3_SUPPORT, TAG_CURRENT_FUNCTION, TAG_CHIPSET, TAG_SAMPLE_FILE,
    TAG_BOOT_FILE, TAG_LOGIN_FILE, TAG_LOCALE_FILE, TAG_UPPER_RATION, TAG_VERSION, TAG_CFG_TABLE_COUNT,
};

bool isIntTag(int tag)
{
    return tag == TAG_LOG_SIZE || tag == TAG_LOG_LEVEL || tag == TAG_WATCHDOG_TIME || tag == TAG_TIMEOUT ||
           tag == TAG_DEVICE_COUNT || tag == TAG_UPPER_RATION || tag == TAG_CFG_TABLE_COUNT;
}

// Tags naming files: the Windows back-slash paths of a station's files
// are kept with forward slashes so every reader can open them.
bool isFileTag(int tag)
{
    return tag == TAG_LOG_FILENAME || tag == TAG_FLASH_PROFILE || tag == TAG_LCD_PROFILE ||
           tag == TAG_USER_PROFILE || tag == TAG_DPF_PROFILE || tag == TAG_MP3_PROFILE || tag == TAG_SCAN_CODE ||
           tag == TAG_UDISK_CODE || tag == TAG_DPF_CODE || tag == TAG_SAMPLE_FILE || tag == TAG_BOOT_FILE ||
           tag == TAG_LOGIN_FILE || tag == TAG_LOCALE_FILE;
}

bool isTwoWordTag(int tag)
{
    return tag == TAG_PLUGIN || tag == TAG_SCAN_CODE || tag == TAG_UDISK_CODE || tag == TAG_DPF_CODE ||
           tag == TAG_LOCALE_FILE;
}

const char* yesNo(bool value)
{
    return value ? "YES" : "NO";
}

const char* onOff(bool value)
{
    return value ? "ON" : "OFF";
}

// The smallest value each number tag can be honoured with.
long long lowestNumber(int tag)
{
    switch (tag) {
    case TAG_WATCHDOG_TIME:
    case TAG_TIMEOUT: return 0;
    // Every device needs one copy of its system area.
    case TAG_CFG_TABLE_COUNT: return 1;
    default: return INT_MIN;
    }
}

// The largest value each number tag can be honoured with.
long long highestNumber(int tag)
{
    return tag == TAG_CFG_TABLE_COUNT ? UsbConfiguration::MAX_CFG_TABLE_COUNT : INT_MAX;
}

struct FunctionWord {
    const char* word;
    _FUNCTION_T function;
};

// The login function is the Kelvo tool.
const FunctionWord functionWords[] = {
    {"UDiskFactory", FUNCTION_FACTORY}, {"UDiskUser", FUNCTION_USER}, {"Kelvo", FUNCTION_LOGIN}};

const FunctionWord* findFunction(const char* word)
{
    for (const FunctionWord& known : functionWords) {
        if (strcmp(known.word, word) == 0) {
            return &known;
        }
    }
    return nullptr;
}

// Passwords never reach the log in clear.
const char* masked(const std::string& secret)
{
    return secret.empty() ? "" : "******";
}

}  // namespace

UsbConfiguration::UsbConfiguration()
    : m_watchDogTime(5),
      m_logLevel(0),
      m_logSize(6144),
      m_deviceCount(1),
      m_timeout(0),
      m_scanBigBuffer(true),
      m_dpfSupport(false),
      m_mp3Support(false),
      m_function(FUNCTION_FACTORY),
      m_chipSet(CHIPSET_UNKNOWN),
      m_hwVersion(&unknownHwVersion),
      m_upperRation(0),
      m_cfgTableCount(1),
      m_blockModeLocked(false),
      m_tagsSeen(0),
      m_tagLines{}
{
}

UsbConfiguration::UsbConfiguration(const UsbConfiguration& other)
{
    copyFrom(other);
}

UsbConfiguration& UsbConfiguration::operator=(const UsbConfiguration& other)
{
    if (this != &other) {
        copyFrom(other);
    }
    return *this;
}

void UsbConfiguration::copyFrom(const UsbConfiguration& other)
{
    m_plugIns = other.m_plugIns;
    m_watchDogTime = other.m_watchDogTime;
    m_userName = other.m_userName;
    m_displayName = other.m_displayName;
    m_password = other.m_password;
    m_logFilename = other.m_logFilename;
    m_logLevel = other.m_logLevel;
    m_logSize = other.m_logSize;
    m_deviceCount = other.m_deviceCount;
    m_deviceName = other.m_deviceName;
    m_timeout = other.m_timeout;
    m_flashFileName = other.m_flashFileName;
    m_lcdFileName = other.m_lcdFileName;
    m_userFileName = other.m_userFileName;
    m_dpfFileName = other.m_dpfFileName;
    m_mp3FileName = other.m_mp3FileName;
    m_sampleFileName = other.m_sampleFileName;
    {
        Tessor::Threads::Lock guard(other.m_codeLock);
        m_dpfCodes = other.m_dpfCodes;
        m_udiskCodes = other.m_udiskCodes;
        m_scanCodes = other.m_scanCodes;
    }
    m_scanBigBuffer = other.m_scanBigBuffer;
    m_bootFile = other.m_bootFile;
    m_loginIsoFile = other.m_loginIsoFile;
    m_locales = other.m_locales;
    m_dpfSupport = other.m_dpfSupport;
    m_mp3Support = other.m_mp3Support;
    m_function.store(other.m_function.load());
    m_chipSet = other.m_chipSet;
    m_hwVersion = other.m_hwVersion;
    m_version = other.m_version;
    m_upperRation = other.m_upperRation;
    m_cfgTableCount = other.m_cfgTableCount;
    m_blockModeLocked = other.m_blockModeLocked;
    m_tagsSeen = other.m_tagsSeen;
    m_deviceCountText = other.m_deviceCountText;
    m_notices = other.m_notices;
    m_refusals = other.m_refusals;
    std::copy(std::begin(other.m_tagLines), std::end(other.m_tagLines), std::begin(m_tagLines));
}

void UsbConfiguration::instance(const std::string& fileName)
{
    UsbConfiguration* configuration = new (std::nothrow) UsbConfiguration();
    if (!configuration) {
        CPLOG(0, "Can't Allocate any memory for UsbConfiguration");
        throw UsbConfigurationErr("memory allocate error", __FILE__, __LINE__);
    }
    delete usbConfiguration;
    usbConfiguration = configuration;
    if (fileName.empty()) {
        return;
    }
    if (!parseConfigFile(fileName)) {
        delete usbConfiguration;
        usbConfiguration = nullptr;
        cpLogForced(0, __FILE__, __LINE__, "Can't parse configuration file : %s", fileName.c_str());
        instance();
        return;
    }
    usbConfiguration->reportMissingTags();
}

UsbConfiguration* UsbConfiguration::instance()
{
    TESSOR_ASSERT(usbConfiguration != nullptr);
    return usbConfiguration;
}

void UsbConfiguration::notice(const std::string& text)
{
    CPLOG(4, "%s", text.c_str());
    std::fprintf(stderr, "%s\n", text.c_str());
    m_notices.push_back(text);
}

std::string UsbConfiguration::lineText(const char* format, va_list arguments)
{
    char text[1400];
    vsnprintf(text, sizeof text, format, arguments);
    return parsingFile + " line " + std::to_string(parsingLine) + ": " + text;
}

void UsbConfiguration::lineNotice(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const std::string text = lineText(format, arguments);
    va_end(arguments);
    notice(text);
}

void UsbConfiguration::lineRefusal(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const std::string text = lineText(format, arguments);
    va_end(arguments);
    notice(text);
    m_refusals.push_back(text);
}

void UsbConfiguration::logNotices() const
{
    // Without a log file the log is standard error, which has them already.
    if (getLogFileName().empty()) {
        return;
    }
    for (const std::string& text : m_notices) {
        cpLogForced(LOG_WARN, __FILE__, __LINE__, "%s", text.c_str());
    }
}

bool UsbConfiguration::readNumber(int tag, const char* value, long long min, long long max, int& number)
{
    // A port count is only wanted by the factory function, which checks it.
    auto tell = tag == TAG_DEVICE_COUNT ? &UsbConfiguration::lineNotice : &UsbConfiguration::lineRefusal;
    errno = 0;
    char* end = nullptr;
    const long long read = std::strtoll(value, &end, 10);
    if (end == value || *end != '\0') {
        (this->*tell)("value '%s' of tag %s is not a decimal number", value, ConfigTagNames[tag]);
        return false;
    }
    if (errno == ERANGE || read < min || read > max) {
        (this->*tell)("value '%s' of tag %s is outside %lld..%lld", value, ConfigTagNames[tag], min, max);
        return false;
    }
    number = static_cast<int>(read);
    return true;
}

void UsbConfiguration::applySetting(int tag, const char* value)
{
    int number = 0;
    if (tag == TAG_DEVICE_COUNT) {
        // A count the station cannot serve stops it at start-up, not here.
        m_deviceCountText = value;
        m_deviceCount = 0;
        if (!readNumber(tag, value, 1, MAX_DEVICE_COUNT, number)) {
            m_tagsSeen |= 1u << tag;
            return;
        }
    } else if (tag == TAG_LOG_SIZE) {
        if (!readNumber(tag, value, LOG_SIZE_MIN, LOG_SIZE_MAX, number)) {
            return;
        }
    } else if (isIntTag(tag) && !readNumber(tag, value, lowestNumber(tag), highestNumber(tag), number)) {
        return;
    }
    if (tag == TAG_LOG_LEVEL && (number < 0 || number > 10)) {
        lineNotice("value '%s' of tag Log_Level is outside 0..10, level 4 used", value);
    }
    char first[896] = "";
    char second[896] = "";
    if (isTwoWordTag(tag) && sscanf(value, "%895s %895s", first, second) != 2) {
        lineNotice("tag %s needs two words, line ignored: %s", ConfigTagNames[tag], value);
        return;
    }
    if (!checkWord(tag, value, first)) {
        return;
    }
    std::string path;
    if (isFileTag(tag)) {
        path = HostPath::withSlashes(isTwoWordTag(tag) ? second : value);
        if (isTwoWordTag(tag)) {
            snprintf(second, sizeof second, "%s", path.c_str());
        } else {
            value = path.c_str();
        }
    }
    m_tagsSeen |= 1u << tag;
    m_tagLines[tag] = parsingLine;
    switch (tag) {
    case TAG_USER_NAME: m_userName = value; break;
    case TAG_DISPLAY_NAME: m_displayName = value; break;
    case TAG_PASS_WORD: m_password = value; break;
    case TAG_LOG_SIZE: setLogSize(number); break;
    case TAG_LOG_LEVEL: setLogLevel(number); break;
    case TAG_LOG_FILENAME: m_logFilename = value; break;
    case TAG_WATCHDOG_TIME: m_watchDogTime = number; break;
    case TAG_DEVICE_NAME: m_deviceName = value; break;
    case TAG_TIMEOUT: m_timeout = number; break;
    case TAG_PLUGIN: addPlugIn(first, second); break;
    case TAG_DEVICE_COUNT: m_deviceCount = number; break;
    case TAG_FLASH_PROFILE: m_flashFileName = value; break;
    case TAG_LCD_PROFILE: m_lcdFileName = value; break;
    case TAG_USER_PROFILE: m_userFileName = value; break;
    case TAG_DPF_PROFILE: m_dpfFileName = value; break;
    case TAG_MP3_PROFILE: m_mp3FileName = value; break;
    case TAG_SCAN_CODE: addScanCodeImage(first, second); break;
    case TAG_UDISK_CODE: addUdiskCodeImage(first, second); break;
    case TAG_DPF_CODE: addDpfCodeImage(first, second); break;
    case TAG_DPF_SUPPORT: m_dpfSupport = strcmp(value, "True") == 0; break;
    case TAG_MP3_SUPPORT: m_mp3Support = strcmp(value, "True") == 0; break;
    case TAG_CURRENT_FUNCTION: m_function = findFunction(value)->function; break;
    case TAG_CHIPSET: setChipSet(value); break;
    case TAG_SAMPLE_FILE: m_sampleFileName = value; break;
    case TAG_BOOT_FILE: m_bootFile = value; break;
    case TAG_LOGIN_FILE: m_loginIsoFile = value; break;
    case TAG_LOCALE_FILE: addLocale(first, second); break;
    case TAG_UPPER_RATION: m_upperRation = number; break;
    case TAG_VERSION:
        setVersion(value);
        if (strspn(value, "0123456789") != strlen(value) || strlen(value) > 8 || strlen(value) % 2 != 0) {
            lineNotice("value '%s' of tag Version is not up to four pairs of digits, version '%s' used", value,
                       m_version.getVersionString());
        }
        break;
    case TAG_CFG_TABLE_COUNT: m_cfgTableCount = number; break;
    default: break;
    }
}

bool UsbConfiguration::checkWord(int tag, const char* value, const char* first)
{
    switch (tag) {
    case TAG_CURRENT_FUNCTION:
        if (findFunction(value) == nullptr) {
            lineRefusal("value '%s' of tag CurrentFunction is none of UDiskFactory, UDiskUser, Kelvo", value);
            return false;
        }
        return true;
    case TAG_CHIPSET:
        if (getChipSet(value) == CHIPSET_UNKNOWN) {
            lineRefusal("value '%s' of tag ChipSet names no controller the device library knows", value);
            return false;
        }
        return true;
    case TAG_SCAN_CODE:
    case TAG_UDISK_CODE:
    case TAG_DPF_CODE:
        if (getChipSet(first) == CHIPSET_UNKNOWN) {
            lineRefusal("chip '%s' of tag %s names no controller the device library knows", first,
                        ConfigTagNames[tag]);
            return false;
        }
        return true;
    case TAG_DPF_SUPPORT:
    case TAG_MP3_SUPPORT:
        if (strcmp(value, "True") != 0 && strcmp(value, "False") != 0) {
            lineRefusal("value '%s' of tag %s is neither True nor False", value, ConfigTagNames[tag]);
            return false;
        }
        return true;
    case TAG_LOCALE_FILE:
        if (strcmp(first, "sChinese") != 0 && strcmp(first, "tChinese") != 0) {
            lineRefusal("language '%s' of tag LocaleFile is neither sChinese nor tChinese", first);
            return false;
        }
        return true;
    default: return true;
    }
}

void UsbConfiguration::reportMissingTags()
{
    for (int tag = 0; tag < 30; ++tag) {
        if (!(m_tagsSeen & (1u << tag))) {
            notice(parsingFile + ": Tag " + ConfigTagNames[tag] + " is missing, default used");
        }
    }
}

bool UsbConfiguration::checkProfile(int tag, const std::string& file, std::string& cause) const
{
    if (file.empty()) {
        return true;
    }
    std::string reason;
    const int fd = Tessor::IO::openRegularFile(file, reason);
    if (fd < 0) {
        cause = parsingFile + " line " + std::to_string(m_tagLines[tag]) + ": tag " + ConfigTagNames[tag] + " '" +
                file + "' names no file the station can read: " + reason;
        return false;
    }
    ::close(fd);
    return true;
}

bool UsbConfiguration::checkStation(int portLimit, std::string& cause) const
{
    if (!m_refusals.empty()) {
        cause = m_refusals.front();
        return false;
    }
    // Profiles read before any device is served: one that cannot be read
    // would leave every device on built-in settings.
    if (!checkProfile(TAG_FLASH_PROFILE, m_flashFileName, cause) ||
        !checkProfile(TAG_USER_PROFILE, m_userFileName, cause) ||
        (m_dpfSupport && !checkProfile(TAG_DPF_PROFILE, m_dpfFileName, cause)) ||
        (m_mp3Support && !checkProfile(TAG_MP3_PROFILE, m_mp3FileName, cause))) {
        return false;
    }
    if (m_plugIns.empty()) {
        cause = parsingFile + ": no PlugIn line names a device library, the station has nothing to run";
        return false;
    }
    if (m_function == FUNCTION_FACTORY && (m_deviceCount < 1 || m_deviceCount > portLimit)) {
        cause = parsingFile + ": tag Device_Count '" + m_deviceCountText + "' is not a port count of 1.." +
                std::to_string(portLimit);
        return false;
    }
    const size_t slash = m_sampleFileName.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : m_sampleFileName.substr(0, slash);
    struct stat st = {};
    if (m_sampleFileName.empty() || stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        cause = parsingFile + ": tag SampleFile '" + m_sampleFileName + "' names no file in an existing folder";
        return false;
    }
    // The samples are read when the file is there and written when it is not.
    const bool present = stat(m_sampleFileName.c_str(), &st) == 0;
    if (present ? !S_ISREG(st.st_mode) || access(m_sampleFileName.c_str(), R_OK) != 0
                : access(folder.c_str(), W_OK | X_OK) != 0) {
        cause = parsingFile + ": tag SampleFile '" + m_sampleFileName + "' can be neither read nor created";
        return false;
    }
    return true;
}

std::string UsbConfiguration::getOutputPath(const std::string& name) const
{
    const std::filesystem::path folder = std::filesystem::path(m_logFilename).parent_path();
    return folder.empty() ? name : (folder / name).string();
}

void UsbConfiguration::setLogLevel(int level)
{
    m_logLevel = (level >= 0 && level <= 10) ? level : 4;
}

int UsbConfiguration::getDeviceCount() const
{
    return m_function == FUNCTION_FACTORY ? m_deviceCount : 1;
}

_CHIPSET_T UsbConfiguration::getChipSet(const std::string& name) const
{
    const CHIPSET_NAME_T* found = usbDeviceFindChipSet(name.c_str());
    return found ? found->chipSet : CHIPSET_UNKNOWN;
}

void UsbConfiguration::setChipSet(const std::string& name)
{
    m_chipSet = getChipSet(name);
    const _HW_VERSION_T* record = usbDeviceFindHwVersion(m_chipSet);
    m_hwVersion = record ? record : &unknownHwVersion;
}

const char* UsbConfiguration::getHwVersionName() const
{
    return m_hwVersion->name ? m_hwVersion->name : "Unknown";
}

void UsbConfiguration::addPlugIn(const std::string& name, const std::string& value)
{
    m_plugIns[name] = value;
}

void UsbConfiguration::addLocale(const std::string& word, const std::string& file)
{
    if (word == "sChinese") {
        m_locales[LANG_SCHINESE] = file;
    } else if (word == "tChinese") {
        m_locales[LANG_TCHINESE] = file;
    }
}

const char* UsbConfiguration::getLocaleFileName(MAVIK_LANG_T lang) const
{
    auto found = m_locales.find(lang);
    if (found == m_locales.end()) {
        return nullptr;
    }
    CPLOG(7, "locale info for language of %s is found", found->second.c_str());
    return found->second.c_str();
}

UsbConfiguration::CodeList* UsbConfiguration::codeList(CodeMap& map, _CHIPSET_T chipSet)
{
    // Device threads ask for lists while others may add the first one.
    Tessor::Threads::Lock guard(m_codeLock);
    return &map[chipSet];
}

void UsbConfiguration::addScanCodeImage(const std::string& chip, const std::string& file)
{
    codeList(m_scanCodes, getChipSet(chip))->push_back(file);
    m_scanBigBuffer = file.find("little") == std::string::npos;
}

void UsbConfiguration::addUdiskCodeImage(const std::string& chip, const std::string& file)
{
    codeList(m_udiskCodes, getChipSet(chip))->push_back(file);
}

void UsbConfiguration::addDpfCodeImage(const std::string& chip, const std::string& file)
{
    codeList(m_dpfCodes, getChipSet(chip))->push_back(file);
}

UsbConfiguration::CodeList* UsbConfiguration::getScanCodeList(_CHIPSET_T chipSet)
{
    return codeList(m_scanCodes, chipSet);
}

UsbConfiguration::CodeList* UsbConfiguration::getUdiskCodeList(_CHIPSET_T chipSet)
{
    return codeList(m_udiskCodes, chipSet);
}

UsbConfiguration::CodeList* UsbConfiguration::getDpfCodeList(_CHIPSET_T chipSet)
{
    return codeList(m_dpfCodes, chipSet);
}

void UsbConfiguration::showCodeList(const char* header, CodeMap& map, _CHIPSET_T chipSet)
{
    if (header) {
        CPLOG(7, "%s", header);
    }
    for (const std::string& file : *codeList(map, chipSet)) {
        CPLOG(7, "\t\t : \t%s", file.c_str());
    }
}

void UsbConfiguration::show()
{
    CPLOG(7, "Tessor Application Configuration");
    CPLOG(7, "--- Device ---");
    CPLOG(7, "       Device Name : \"%s\"", m_deviceName.c_str());
    CPLOG(7, "         Device Count: %d", getDeviceCount());
    CPLOG(7, "--- User ---");
    CPLOG(7, "              Name : \"%s\"", m_userName.c_str());
    CPLOG(7, "      Display Name : \"%s\"", m_displayName.c_str());
    CPLOG(7, "         Pass Word : \"%s\"", masked(m_password));
    CPLOG(7, "            Timeout: %d s", m_timeout);
    CPLOG(7, "\t\tWatchDog_Time: %d s", m_watchDogTime);
    CPLOG(7, "         Log File: %s", m_logFilename.c_str());
    CPLOG(7, "         Log Level: %d", m_logLevel);
    CPLOG(7, "         Log Size: %d", m_logSize);
    CPLOG(7, "         Flash Profile: %s", m_flashFileName.c_str());
    CPLOG(7, "         LCD Profile: %s", m_lcdFileName.c_str());
    CPLOG(7, "         User Profile: %s", m_userFileName.c_str());
    CPLOG(7, "         DPF Profile: %s", m_dpfFileName.c_str());
    CPLOG(7, "         Mp3 Profile: %s", m_mp3FileName.c_str());
    CPLOG(7, "         Scan Sample File: %s", m_sampleFileName.c_str());
    CPLOG(7, "         Boot File: %s", m_bootFile.c_str());
    CPLOG(7, "         Login ISO File: %s", m_loginIsoFile.c_str());
    CPLOG(7, "        Scan Code : ");
    CPLOG(7, "        \t6706 : BigBuffer : \"%s\"", yesNo(m_scanBigBuffer));
    showCodeList(nullptr, m_scanCodes, CHIPSET_6706);
    showCodeList("        \t6716 : ", m_scanCodes, CHIPSET_6716);
    CPLOG(7, "        UDisk Code : ");
    showCodeList("        \t6706 : ", m_udiskCodes, CHIPSET_6706);
    showCodeList("        \t6716 : ", m_udiskCodes, CHIPSET_6716);
    showCodeList("       DPF Code : (6759)", m_dpfCodes, CHIPSET_6716V31);
    CPLOG(7, "      Support DPF : \"%s\"", onOff(m_dpfSupport));
    CPLOG(7, "      Support Mp3 : \"%s\"", onOff(m_mp3Support));
    CPLOG(7, "      ChipSet : \"%s\"", getHwVersionName());
    CPLOG(7, "      Function : \"%s\"", m_function == FUNCTION_FACTORY ? "Factory" : "User");
    CPLOG(7, "      Version : \"%s(%d)\"", m_version.getVersionString(), m_version.getVersion());
    for (const auto& plugIn : m_plugIns) {
        CPLOG(7, "      plugin %s : \"%s\"", plugIn.first.c_str(), plugIn.second.c_str());
    }
    for (const auto& locale : m_locales) {
        CPLOG(7, "      Language %d : \"%s\"", locale.first, locale.second.c_str());
    }
    CPLOG(7, "         Upper Ration : %d", m_upperRation);
    CPLOG(7, "         CfgTableCount : %d", m_cfgTableCount);
    CPLOG(7, "\n\n");
}

}  // namespace Tessor::schema
