// The application configuration read once at start-up from the file named
// on the command line; every subsystem reads it through instance().
#pragma once

#include <atomic>
#include <cstdarg>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "schema/base/AppVersion.h"
#include "schema/base/Mutex.h"
#include "utils/LanguageCodes.h"

struct _HW_VERSION_T;

namespace Tessor::schema {

enum _FUNCTION_T { FUNCTION_FACTORY = 0, FUNCTION_USER = 1, FUNCTION_LOGIN = 2 };

// Chip-set numbers of the controller variants, as the device library gives them.
typedef int _CHIPSET_T;
enum {
    CHIPSET_6706 = 1,
    CHIPSET_NONE = 2,
    CHIPSET_6716 = 3,
    CHIPSET_6716V31 = 4,
    CHIPSET_6716V32 = 5,
    CHIPSET_6726 = 6,
    CHIPSET_6605 = 7,
    CHIPSET_UNKNOWN = 10,
};

using utils::LANG_SCHINESE;
using utils::LANG_TCHINESE;
using utils::MAVIK_LANG_T;

extern const char* const ConfigTagNames[31];
int lookupConfigTag(const char* tag);
[[nodiscard]] bool parseConfigFile(const std::string& fileName);

class UsbConfiguration {
public:
    typedef std::list<std::string> CodeList;

    UsbConfiguration();
    UsbConfiguration(const UsbConfiguration& other);
    UsbConfiguration& operator=(const UsbConfiguration& other);
    ~UsbConfiguration() = default;

    // Creates the singleton and fills it from the file; a file that cannot
    // be read ends the process with a failure status.
    static void instance(const std::string& fileName);
    static UsbConfiguration* instance();
    static void parseCfgFileCallBack(const char* tag, const char* type, const char* value);

    void show();

    const std::string& getUserName() const { return m_userName; }
    void setUserName(const std::string& v) { m_userName = v; }
    const std::string& getDisplayName() const { return m_displayName; }
    void setDisplayName(const std::string& v) { m_displayName = v; }
    const std::string& getPassword() const { return m_password; }
    void setPassword(const std::string& v) { m_password = v; }
    const std::string& getLogFilename() const { return m_logFilename; }
    void setLogFilename(const std::string& v) { m_logFilename = v; }
    // Where the run leaves a file it writes for the operator (saved images,
    // dumps): beside the log file, in the working folder without one.
    std::string getOutputPath(const std::string& name) const;
    int getLogLevel() const { return m_logLevel; }
    void setLogLevel(int level);
    int getLogSize() const { return m_logSize; }
    void setLogSize(int size) { m_logSize = size; }
    void setDeviceCount(int count) { m_deviceCount = count; }
    int getDeviceCount() const;
    const std::string& getDeviceName() const { return m_deviceName; }
    void setDeviceName(const std::string& v) { m_deviceName = v; }
    int getTimeout() const { return m_timeout; }
    void setTimeout(int v) { m_timeout = v; }
    int getWatchDogTime() const { return m_watchDogTime; }
    void setWatchDogTime(int v) { m_watchDogTime = v; }
    const std::string& getFlashFileName() const { return m_flashFileName; }
    void setFlashFileName(const std::string& v) { m_flashFileName = v; }
    const std::string& getLcdFileName() const { return m_lcdFileName; }
    void setLcdFileName(const std::string& v) { m_lcdFileName = v; }
    const std::string& getUserFileName() const { return m_userFileName; }
    void setUserFileName(const std::string& v) { m_userFileName = v; }
    const std::string& getDpfFileName() const { return m_dpfFileName; }
    void setDpfFileName(const std::string& v) { m_dpfFileName = v; }
    const std::string& getMp3FileName() const { return m_mp3FileName; }
    void setMp3FileName(const std::string& v) { m_mp3FileName = v; }
    const std::string& getSampleFileName() const { return m_sampleFileName; }
    void setSampleFileName(const std::string& v) { m_sampleFileName = v; }
    const std::string& getBootFile() const { return m_bootFile; }
    void setBootFile(const std::string& v) { m_bootFile = v; }
    const std::string& getLoginIsoFile() const { return m_loginIsoFile; }
    void setLoginIsoFile(const std::string& v) { m_loginIsoFile = v; }
    bool scanIsBigBuffer() const { return m_scanBigBuffer; }
    void setScanIsBigBuffer(bool v) { m_scanBigBuffer = v; }
    bool isDpfSupport() const { return m_dpfSupport; }
    void setDpfSupport(bool v) { m_dpfSupport = v; }
    bool isMp3Support() const { return m_mp3Support; }
    void setMp3Support(bool v) { m_mp3Support = v; }
    _FUNCTION_T getCurrentFunction() const { return m_function.load(); }
    // Device threads read it while a login run switches it.
    void setCurrentFunction(_FUNCTION_T f) { m_function.store(f); }
    _CHIPSET_T getChipSet() const { return m_chipSet; }
    // The device library's number for a chip name, CHIPSET_UNKNOWN when it has none.
    _CHIPSET_T getChipSet(const std::string& name) const;
    // Never null: an unknown chip set has the library's "Unknown" record.
    const _HW_VERSION_T* getHwVersion() const { return m_hwVersion; }
    // The name text of the hardware-version record.
    const char* getHwVersionName() const;
    void setVersion(const char* digits) { m_version = AppVersion(digits); }
    void setChipSet(const std::string& name);
    const AppVersion& getVersion() const { return m_version; }
    int getUpperRation() const { return m_upperRation; }
    void setUpperRation(int v) { m_upperRation = v; }
    int getCfgTableCount() const { return m_cfgTableCount; }
    void setCfgTableCount(int v) { m_cfgTableCount = v; }
    // Forbids block mode on the production-settings page; set by no tag.
    bool isBlockModeLocked() const { return m_blockModeLocked; }
    void setBlockModeLocked(bool v) { m_blockModeLocked = v; }

    void addPlugIn(const std::string& name, const std::string& value);
    const std::map<std::string, std::string>& getPlugIns() const { return m_plugIns; }
    void addLocale(const std::string& word, const std::string& file);
    const std::map<int, std::string>& getLocaleMap() const { return m_locales; }
    const char* getLocaleFileName(MAVIK_LANG_T lang) const;

    void addScanCodeImage(const std::string& chip, const std::string& file);
    void addUdiskCodeImage(const std::string& chip, const std::string& file);
    void addDpfCodeImage(const std::string& chip, const std::string& file);
    CodeList* getScanCodeList(_CHIPSET_T chipSet);
    CodeList* getUdiskCodeList(_CHIPSET_T chipSet);
    CodeList* getDpfCodeList(_CHIPSET_T chipSet);
    CodeList* getScanCodeList() { return getScanCodeList(m_chipSet); }
    CodeList* getUdiskCodeList() { return getUdiskCodeList(m_chipSet); }
    CodeList* getDpfCodeList() { return getDpfCodeList(m_chipSet); }

    // Tags the file did not give keep their defaults; each is named once.
    void reportMissingTags();
    // What was rejected or defaulted while the file was read, each with its
    // file, line and tag; already told on standard error as it was found.
    const std::vector<std::string>& getNotices() const { return m_notices; }
    // Writes the notices into the log file whatever its level, once it is open.
    void logNotices() const;
    // Whether the file gives the station a device library, a port count of
    // 1..portLimit, profiles it can read and a folder for the scan samples,
    // and no value it refused; the cause when not.
    bool checkStation(int portLimit, std::string& cause) const;

    // Log size limits in KiB: the smallest that does not rotate the log at
    // every few lines, the largest whose byte count fits 32 bits.
    static constexpr int LOG_SIZE_MIN = 64;
    static constexpr int LOG_SIZE_MAX = 2097151;
    static constexpr int MAX_DEVICE_COUNT = 64;
    // Each copy of the system area takes blocks of the first block set: the
    // smallest flash the station knows keeps room for data with this many,
    // and more buy no safety.
    static constexpr int MAX_CFG_TABLE_COUNT = 16;

private:
    friend bool parseConfigFile(const std::string& fileName);

    void applySetting(int tag, const char* value);
    // The whole value as a decimal number within [min, max]; anything else
    // is told as a notice and leaves number alone.
    [[nodiscard]] bool readNumber(int tag, const char* value, long long min, long long max, int& number);
    // A notice about the current line of the file.
    void lineNotice(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A notice about a value the station cannot honour: it does not start.
    void lineRefusal(const char* format, ...) __attribute__((format(printf, 2, 3)));
    static std::string lineText(const char* format, va_list arguments);
    void notice(const std::string& text);
    // Whether a word the station switches on (function, chip, switch,
    // language) is one it knows; refused when not. `first` is the first
    // word of a two-word value.
    [[nodiscard]] bool checkWord(int tag, const char* value, const char* first);
    // Whether a profile named by `tag` can be read; the cause when not.
    bool checkProfile(int tag, const std::string& file, std::string& cause) const;

    typedef std::map<int, CodeList> CodeMap;

    CodeList* codeList(CodeMap& map, _CHIPSET_T chipSet);
    void copyFrom(const UsbConfiguration& other);
    void showCodeList(const char* header, CodeMap& map, _CHIPSET_T chipSet);

    static UsbConfiguration* usbConfiguration;
    // The file and line being read, for the messages about bad values.
    static std::string parsingFile;
    static int parsingLine;

    std::map<std::string, std::string> m_plugIns;
    int m_watchDogTime;
    std::string m_userName;
    std::string m_displayName;
    std::string m_password;
    std::string m_logFilename;
    int m_logLevel;
    int m_logSize;
    int m_deviceCount;
    std::string m_deviceName;
    int m_timeout;
    std::string m_flashFileName;
    std::string m_lcdFileName;
    std::string m_userFileName;
    std::string m_dpfFileName;
    std::string m_mp3FileName;
    std::string m_sampleFileName;
    CodeMap m_dpfCodes;
    CodeMap m_udiskCodes;
    CodeMap m_scanCodes;
    bool m_scanBigBuffer;
    std::string m_bootFile;
    std::string m_loginIsoFile;
    std::map<int, std::string> m_locales;
    bool m_dpfSupport;
    bool m_mp3Support;
    std::atomic<_FUNCTION_T> m_function;
    _CHIPSET_T m_chipSet;
    const _HW_VERSION_T* m_hwVersion;
    AppVersion m_version;
    int m_upperRation;
    int m_cfgTableCount;
    bool m_blockModeLocked;
    unsigned m_tagsSeen;
    std::string m_deviceCountText;
    std::vector<std::string> m_notices;
    std::vector<std::string> m_refusals;
    // The line each tag was last taken from.
    int m_tagLines[30];
    mutable Tessor::Threads::Mutex m_codeLock;
};

}  // namespace Tessor::schema
