// Process-wide owner of the scan sample: the random sector data every scan
// writes and compares, kept in the sample file so that all devices of all
// runs see the same data.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/orrin/Sector.h"
#include "schema/base/Sptr.h"
#include "usb/scan/ScanSample.h"

namespace Tessor::usb {

class SampleFactory {
public:
    static constexpr int DEFAULT_SECTOR_COUNT = 8192;
    static constexpr int HEADER_SIZE = 16;
    // Data, its zone, the complement and its zone.
    static constexpr int BYTES_PER_SECTOR = 2 * (SECTOR_BYTES + ScanSample::ZONE_SIZE);
    static constexpr int CREATE_FAILED = -4100;

    // Reads the configured sample file, or writes a fresh one seeded with the
    // time. Runs once, before any device thread exists. A failure says why in
    // `cause`.
    [[nodiscard]] static int init(std::string* cause = nullptr);
    [[nodiscard]] static int init(const std::string& fileName, unsigned int seed, std::string* cause = nullptr);
    static SampleFactory* instance();

    char* getSampleBuffer(int index, bool ecc);
    Sptr<ScanSample> getScanSample(int index, bool ecc, int sectorCount);
    int getSectorCount() const { return m_sectorCount; }

protected:
    Sptr<ScanSample> getScanSample(_SAMPLE_TYPE type);
    // The whole file or none of it: a station that stops while writing, or
    // a full disk, leaves no half-written sample behind.
    [[nodiscard]] int createFile(std::string& reason);
    [[nodiscard]] int readFile();

private:
    SampleFactory(std::string fileName, unsigned int seed);
    void addSampleList(const char* body);

    int32_t m_sectorCount = 0;
    std::map<_SAMPLE_TYPE, Sptr<ScanSample>> m_samples;
    std::string m_fileName;
    unsigned int m_seed;

    static SampleFactory* s_instance;
};

}  // namespace Tessor::usb
