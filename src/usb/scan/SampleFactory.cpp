#include "usb/scan/SampleFactory.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/ini/RegularFile.h"
#include "platform/orrin/Ecc.h"
#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"

namespace Tessor::usb {

namespace {

constexpr int SECTOR = SECTOR_BYTES;
constexpr int ZONE = ScanSample::ZONE_SIZE;
constexpr unsigned char DATA_ZONE_PRESET[4] = {0x5A, 0xA9, 0x40, 0x00};
constexpr unsigned char REVERSE_ZONE_PRESET[4] = {0xA5, 0x56, 0x81, 0x00};
// The sample keeps the 15-bit range of the generator it was defined with,
// whatever RAND_MAX the C library has.
constexpr int RANDOM_MASK = 0x7FFF;

void putLe16(unsigned char* out, unsigned int value)
{
    out[0] = static_cast<unsigned char>(value);
    out[1] = static_cast<unsigned char>(value >> 8);
}

void putLe32(unsigned char* out, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

int32_t getLe32(const char* in)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

void fillZones(const unsigned char* sectors, unsigned char* zones, int count, const unsigned char* preset)
{
    for (int s = 0; s < count; ++s) {
        unsigned char* zone = zones + s * ZONE;
        std::memcpy(zone, preset, 4);
        generateEccCode(sectors + s * SECTOR, zone);
    }
}

const char* sampleName(_SAMPLE_TYPE type)
{
    switch (type) {
    case _SAMPLE_TYPE::ScanSample:
        return "ScanSample";
    case _SAMPLE_TYPE::ScanSampleReverse:
        return "ScanSampleReverse";
    case _SAMPLE_TYPE::ScanSampleEcc:
        return "ScanSampleEcc";
    case _SAMPLE_TYPE::ScanSampleEccReverse:
        return "ScanSampleEccReverse";
    }
    return "unknown";
}

}  // namespace

SampleFactory* SampleFactory::s_instance = nullptr;

SampleFactory::SampleFactory(std::string fileName, unsigned int seed)
    : m_fileName(std::move(fileName)), m_seed(seed)
{
}

int SampleFactory::init(std::string* cause)
{
    return init(schema::UsbConfiguration::instance()->getSampleFileName(),
                static_cast<unsigned int>(std::time(nullptr)), cause);
}

int SampleFactory::init(const std::string& fileName, unsigned int seed, std::string* cause)
{
    // Only ever replaced here, before device threads read the samples.
    delete s_instance;
    s_instance = new SampleFactory(fileName, seed);
    if (s_instance->readFile() == 0) {
        if (s_instance->m_sectorCount == DEFAULT_SECTOR_COUNT) {
            return 0;
        }
        // Every reader asks for the default size; a stored sample of another
        // size is replaced now rather than under a running scan.
        CPLOG(4, "scan sample file '%s' holds %d sectors, %d needed: creating it again", fileName.c_str(),
              s_instance->m_sectorCount, DEFAULT_SECTOR_COUNT);
        s_instance->m_samples.clear();
    }
    s_instance->m_sectorCount = DEFAULT_SECTOR_COUNT;
    std::string reason;
    if (s_instance->createFile(reason) != 0) {
        const std::string text = "scan sample file '" + fileName + "' cannot be written: " + reason;
        CPLOG(3, "%s", text.c_str());
        if (cause != nullptr) {
            *cause = text;
        }
        return CREATE_FAILED;
    }
    return 0;
}

SampleFactory* SampleFactory::instance()
{
    return s_instance;
}

char* SampleFactory::getSampleBuffer(int index, bool ecc)
{
    return getScanSample(index, ecc, DEFAULT_SECTOR_COUNT)->getBuffer();
}

Sptr<ScanSample> SampleFactory::getScanSample(int /*index*/, bool ecc, int sectorCount)
{
    if (sectorCount != m_sectorCount) {
        // Device threads read these buffers without a lock: they are never
        // replaced after start-up.
        CPLOG(3, "scan sample of %d sectors asked, the sample holds %d", sectorCount, m_sectorCount);
    }
    return getScanSample(ecc ? _SAMPLE_TYPE::ScanSampleEcc : _SAMPLE_TYPE::ScanSample);
}

Sptr<ScanSample> SampleFactory::getScanSample(_SAMPLE_TYPE type)
{
    CPLOG(7, "get scan sample of type %s(%d)", sampleName(type), static_cast<int>(type));
    auto found = m_samples.find(type);
    TESSOR_ASSERT(found != m_samples.end());
    return found->second;
}

int SampleFactory::createFile(std::string& reason)
{
    const int count = m_sectorCount;
    const int size = HEADER_SIZE + count * BYTES_PER_SECTOR;
    std::vector<unsigned char> file(size, 0);
    unsigned char* data = file.data() + HEADER_SIZE;
    unsigned char* dataZones = data + count * SECTOR;
    unsigned char* reverse = dataZones + count * ZONE;
    unsigned char* reverseZones = reverse + count * SECTOR;

    std::srand(m_seed);
    for (int k = 0; k < count * SECTOR / 2; ++k) {
        const unsigned int word = static_cast<unsigned int>(std::rand()) & RANDOM_MASK;
        putLe16(data + 2 * k, word);
        putLe16(reverse + 2 * k, ~word & 0xFFFF);
    }
    fillZones(data, dataZones, count, DATA_ZONE_PRESET);
    fillZones(reverse, reverseZones, count, REVERSE_ZONE_PRESET);
    putLe32(file.data(), count);
    putLe32(file.data() + 8, count * BYTES_PER_SECTOR);

    if (!IO::replaceFile(m_fileName, file.data(), file.size(), nullptr, reason)) {
        return -1;
    }
    CPLOG(7, "sample file with length of %d has been wroten", size);
    addSampleList(reinterpret_cast<const char*>(data));
    return 0;
}

int SampleFactory::readFile()
{
    const int size = usbGetFileSize(m_fileName.c_str());
    if (size <= 0) {
        CPLOG(3, "File '%s' is not exist", m_fileName.c_str());
        return -1;
    }
    m_sectorCount = size / BYTES_PER_SECTOR;
    std::vector<char> file(size);
    if (usbReadFile(m_fileName.c_str(), file.data(), size, 0) < size) {
        CPLOG(4, "Read scan sample file '%s' failed", m_fileName.c_str());
        return -1;
    }
    const int expectedLength = size - HEADER_SIZE;
    const int storedCount = size >= HEADER_SIZE ? getLe32(file.data()) : -1;
    const int storedLength = size >= HEADER_SIZE ? getLe32(file.data() + 8) : -1;
    // The body must also hold every sector the header promises, or the
    // samples would be cut from past the end of the file.
    if (storedCount != m_sectorCount || storedLength != expectedLength ||
        expectedLength != m_sectorCount * BYTES_PER_SECTOR) {
        CPLOG(4, "Header parse faile of scan sample file '%s' : SectorCount : %d(%d)\tLength : %d(%d)",
              m_fileName.c_str(), m_sectorCount, storedCount, expectedLength, storedLength);
        return -1;
    }
    addSampleList(file.data() + HEADER_SIZE);
    return 0;
}

void SampleFactory::addSampleList(const char* body)
{
    const int count = m_sectorCount;
    const struct {
        _SAMPLE_TYPE type;
        int offset;
    } cuts[] = {
        {_SAMPLE_TYPE::ScanSample, 0},
        {_SAMPLE_TYPE::ScanSampleEcc, count * SECTOR},
        {_SAMPLE_TYPE::ScanSampleReverse, count * (SECTOR + ZONE)},
        {_SAMPLE_TYPE::ScanSampleEccReverse, count * (2 * SECTOR + ZONE)},
    };
    for (const auto& cut : cuts) {
        m_samples[cut.type] = Sptr<ScanSample>(new ScanSample(sampleName(cut.type), body + cut.offset, count, cut.type));
    }
}

}  // namespace Tessor::usb
