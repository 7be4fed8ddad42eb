#include "schema/ui/SettingsStore.h"

#include <atomic>

#include "schema/base/Assert.h"

namespace Tessor::schema {

namespace {
std::atomic<SettingsStore::Maker> installed{nullptr};
}  // namespace

void SettingsStore::install(Maker maker) { installed = maker; }

Sptr<SettingsStore> SettingsStore::make()
{
    const Maker maker = installed;
    TESSOR_ASSERT(maker != nullptr);
    return maker();
}

}  // namespace Tessor::schema
