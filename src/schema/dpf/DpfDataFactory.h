// The photo frame's fixed pictures and fonts, one data group per menu area.
// A device takes the groups as the files are when it starts producing; a
// load never changes a group, so devices share the buffers read-only and a
// device keeps the set it took while the pages replace pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

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

    // The groups of one load; never changed once made.
    using GroupSet = std::vector<Sptr<DpfDataGroup>>;
    using Snapshot = std::shared_ptr<const GroupSet>;

    // Reads every file of the built-in table afresh; always 0.
    int init() override;
    // The groups as the files are now: the groups whose files changed since
    // the last load are read again, the others are the ones loaded before.
    Snapshot current();
    // The first group of that area in `set`, empty when none.
    static Sptr<DpfDataGroup> groupOf(const Snapshot& set, PHOTO_ADDRESS_T type);
    // The first group of that area as the files are now, empty when none.
    Sptr<DpfDataGroup> getDataGroup(PHOTO_ADDRESS_T type) { return groupOf(current(), type); }
    // The declared sectors of the files of the last load.
    int getTotalSectors() const;
    const std::string& getDataFolder() const { return m_dataFolder; }

    // The built-in table of data files, ended by a row of type -1.
    static const Row* table();

private:
    // What a file on the disk was when read: size and modification time.
    struct Stamp {
        int64_t size = -1;
        int64_t modified = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stampOf(const char* file) const;
    std::vector<Stamp> stampsOf(const Row& row) const;
    Sptr<DpfDataGroup> loadRow(const Row& row);
    // Loads the rows whose stamps differ (all when `all`); under m_lock.
    void reload(bool all);

    std::string m_dataFolder;
    mutable std::mutex m_lock;
    Snapshot m_groups;
    std::vector<std::vector<Stamp>> m_stamps;  // per row of the table, per file
    int m_totalSectors = 0;
};

}  // namespace Tessor::schema
