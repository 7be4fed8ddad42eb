// Reading the configuration file: one "tag type value" setting per line.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/ini/RegularFile.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"

namespace Tessor::schema {

const char* const ConfigTagNames[31] = {
    "User_Name",    "Display_Name",  "Pass_Word",  "Log_Size",     "Log_Level",       "LogFilename",
    "WatchDog_Time", "Device_Name",  "Timeout",    "PlugIn",       "Device_Count",    "FlashProfile",
    "LcdProfile",   "UserProfile",   "DpfProfile", "Mp3Profile",   "ScanCode",        "UdiskCode",
    "DpfCode",      "DpfSupport",    "Mp3Support", "CurrentFunction", "ChipSet",      "SampleFile",
    "BootFile",     "LoginFile",     "LocaleFile", "UpperRation",  "Version",         "CfgTableCount",
    "Unknown",
};

int lookupConfigTag(const char* tag)
{
    for (int i = 0; i < 30; ++i) {
        if (strcmp(ConfigTagNames[i], tag) == 0) {
            return i;
        }
    }
    return 30;
}

namespace {

void removeLineEnd(char* line)
{
    size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n') {
        line[--length] = '\0';
        if (length > 0 && line[length - 1] == '\r') {
            line[--length] = '\0';
        }
    }
    // The first character stays even when it is a blank.
    while (length > 1 && (line[length - 1] == ' ' || line[length - 1] == '\t')) {
        line[--length] = '\0';
    }
}

}  // namespace

bool parseConfigFile(const std::string& fileName)
{
    std::string reason;
    const int fd = Tessor::IO::openRegularFile(fileName, reason);
    FILE* file = fd >= 0 ? fdopen(fd, "r") : nullptr;
    if (!file) {
        if (fd >= 0) {
            close(fd);
        }
        CPLOG(3, "Cannot open file: %s", fileName.c_str());
        std::fprintf(stderr, "Cannot open file: %s: %s\n", fileName.c_str(), reason.c_str());
        return false;
    }
    char line[1024];
    int lineNumber = 1;
    UsbConfiguration::parsingFile = fileName;
    while (fgets(line, sizeof line, file)) {
        // A file saved by a Windows editor may start with a byte-order mark.
        if (lineNumber == 1 && strncmp(line, "\xEF\xBB\xBF", 3) == 0) {
            memmove(line, line + 3, strlen(line + 3) + 1);
        }
        removeLineEnd(line);
        char tag[96] = "";
        char type[32] = "";
        int offset = 0;
        int words = sscanf(line, "%95s%31s%*[ \t]%n", tag, type, &offset);
        UsbConfiguration::parsingLine = lineNumber;
        if (words == 2 && line[0] != '#' && offset != 0) {
            UsbConfiguration::parseCfgFileCallBack(tag, type, line + offset);
        } else if (words >= 1 && line[0] != '#') {
            UsbConfiguration::instance()->lineNotice("Line %d has too few arguments: %s", lineNumber, line);
        }
        ++lineNumber;
    }
    fclose(file);
    return true;
}

void UsbConfiguration::parseCfgFileCallBack(const char* tag, const char* /*type*/, const char* value)
{
    int index = lookupConfigTag(tag);
    if (index == 30) {
        printf("Unknown Tag : %s \n", tag);
        instance()->lineNotice("unknown tag %s, line ignored", tag);
        return;
    }
    instance()->applySetting(index, value);
}

}  // namespace Tessor::schema
