#include "page/FlashPartTable.h"

#include <cstdint>
#include <cstring>

#include "platform/ini/Ini.h"
#include "utils/AnsiText.h"

namespace Tessor::page {

namespace {

constexpr unsigned FIRST_BUFFER = 4096;
constexpr unsigned PART_NUMBER_SIZE = 260;
constexpr int PART_NUMBER_LIMIT = 60;
constexpr uint32_t SECTORS_PER_MB = 2048;

// All section names, however many: the buffer grows until they fit.
std::vector<std::string> sectionNames(const char* file)
{
    std::vector<char> buffer(FIRST_BUFFER);
    unsigned length = 0;
    for (;;) {
        length = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<unsigned>(buffer.size()), file);
        if (length + 2 < buffer.size()) {
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> names;
    for (unsigned at = 0; at < length && buffer[at] != '\0';) {
        names.emplace_back(&buffer[at]);
        at += static_cast<unsigned>(names.back().size()) + 1;
    }
    return names;
}

}  // namespace

std::vector<FlashPart> readFlashParts(const std::string& fileName)
{
    const char* file = fileName.c_str();
    std::vector<FlashPart> parts;
    for (const std::string& section : sectionNames(file)) {
        char partNumber[PART_NUMBER_SIZE] = {};
        GetPrivateProfileStringA(section.c_str(), "PartNumber", "NONE", partNumber, sizeof(partNumber), file);
        const uint32_t blocks = GetPrivateProfileIntA(section.c_str(), "BlockPerChip", 0, file);
        const uint32_t pages = GetPrivateProfileIntA(section.c_str(), "PagePerBlock", 0, file);
        const uint32_t sectors = GetPrivateProfileIntA(section.c_str(), "SectorPerPage", 0, file);
        // 32-bit signed arithmetic, truncating toward zero.
        const int capacity = static_cast<int32_t>(sectors * pages * blocks) / static_cast<int32_t>(SECTORS_PER_MB);
        if (partNumber[0] != '\0' && std::strcmp(partNumber, "NONE") != 0) {
            parts.push_back({utils::fromAnsi(partNumber).left(PART_NUMBER_LIMIT), capacity});
        }
    }
    return parts;
}

}  // namespace Tessor::page
