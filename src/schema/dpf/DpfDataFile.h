// One host file of photo-frame content, read whole into memory once.
#pragma once

#include <string>
#include <vector>

#include "platform/orrin/Sector.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

class DpfDataFile : public BaseData {
public:
    DpfDataFile(const std::string& name, const std::string& path, int declaredSectors);
    ~DpfDataFile() override = default;

    // The bytes read (positive), -1 for a file of no positive size, 0 for a
    // short read. The sector count becomes the file's own, an even number.
    int init() override;
    // The file's bytes then zero bytes up to the sector count, as read by
    // init: shared read-only by every device that writes it.
    const unsigned char* getDataBuffer() const;
    const char* getFileName() const { return m_path.c_str(); }
    int getSize() const { return m_size; }
    int getSectorLength() const { return m_sectors; }

    // Whole sectors of `bytes`, rounded up to an even count.
    static int sectorsOf(int bytes);

private:
    int m_size = 0;
    int m_sectors;
    std::vector<unsigned char> m_buffer;
    std::string m_path;
};

}  // namespace Tessor::schema
