// The data files of one photo-frame area, in the order added.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/dpf/DpfDataFile.h"
#include "schema/dpf/PhotoAddress.h"

namespace Tessor::schema {

class DpfDataGroup : public BaseData {
public:
    DpfDataGroup(const std::string& name, PHOTO_ADDRESS_T type);
    ~DpfDataGroup() override = default;

    int init() override;
    // Adds the file when it loads; a file that does not load is logged and
    // left out. Always 0.
    int addOneFile(const std::string& name, const std::string& path, int declaredSectors);
    // Empty past the last file.
    Sptr<DpfDataFile> getOneFile(int index);
    PHOTO_ADDRESS_T getAddressType() const { return m_type; }
    // The declared sectors of the files loaded.
    int getTotalSectors() const { return m_totalSectors; }
    // The sectors the files loaded take on the flash, by their own sizes.
    int getStoredSectors();

private:
    PHOTO_ADDRESS_T m_type;
    int m_totalSectors = 0;
};

}  // namespace Tessor::schema
