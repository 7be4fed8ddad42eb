// The photo frame's fixed pictures and fonts, loaded once at start-up into
// one data group per menu area and shared read-only by every device.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"
#include "schema/dpf/DpfDataGroup.h"

namespace Tessor::schema {

class DpfDataFactory : public BaseData {
public:
    struct Item {
        const char* name;
        const char* file;  // under the data folder
        int sectors;       // declared; the list ends at the first that is not positive
    };
    struct Row {
        int type;  // the list ends at -1
        const char* name;
        const Item* items;
    };

    // The factory of the process, on the working folder's data folder;
    // init fills it.
    static DpfDataFactory* instance();
    // A factory on `dataFolder` (which ends in a separator).
    explicit DpfDataFactory(const std::string& dataFolder);
    ~DpfDataFactory() override = default;

    // Builds the groups from the built-in table; always 0.
    int init() override;
    // The first group of that area, empty when none.
    Sptr<DpfDataGroup> getDataGroup(PHOTO_ADDRESS_T type);
    int getTotalSectors() const { return m_totalSectors; }
    const std::string& getDataFolder() const { return m_dataFolder; }

    // The built-in table of data files, ended by a row of type -1.
    static const Row* table();

private:
    std::string m_dataFolder;
    int m_totalSectors = 0;
};

}  // namespace Tessor::schema
