// Where a station keeps its production settings between runs: read when the
// UI manager is made, written back when they change. The production side
// installs the kind of store at start.
#pragma once

#include "schema/base/Sptr.h"

namespace Tessor::schema {

class ConfigInfo;

class SettingsStore {
public:
    using Maker = Sptr<SettingsStore> (*)();
    static void install(Maker maker);
    // A new store of the installed kind; without one the process stops.
    static Sptr<SettingsStore> make();

    virtual ~SettingsStore() = default;
    // The stored settings, with the photo-frame and MP3 settings they run with.
    virtual Sptr<ConfigInfo> load() = 0;
    // A key that cannot be written is logged and left.
    virtual void save(const Sptr<ConfigInfo>& settings) = 0;
};

}  // namespace Tessor::schema
