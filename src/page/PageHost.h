// What the pages ask of the window they are on: the ports' records and the
// operator's actions on all of them, the settings the ports start with, a
// device's capacity, the flash parts on offer and the part last picked on a
// channel. The window's UI manager implements it.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/device/ConfigInfo.h"
#include "page/FlashPartTable.h"

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::page {

class PortRecord;

class PageHost {
public:
    virtual ~PageHost() = default;

    virtual int getCount() const = 0;
    // Null outside 0 .. getCount() - 1.
    virtual PortRecord* getDevice(int index) const = 0;
    // A UserAction on every port, in port order (GUI thread).
    virtual void forEachDevice(int action) = 0;
    // Every port gets its own copy of `settings` for its next start.
    virtual void distributeConfigInfo(const Sptr<schema::ConfigInfo>& settings) = 0;
    virtual Sptr<schema::ConfigInfo> getConfigInfo() const = 0;
    // Sectors of `device`; none before its flash is identified.
    [[nodiscard]] virtual std::optional<int> deviceSectors(const schema::UsbDevice& device) const = 0;
    // Waits until the flash-chip table is read.
    virtual std::vector<FlashPart> getFlashParts() = 0;
    // The flash-chip table page preselects this part (GUI thread).
    virtual QString getCurrentPartNumber() const = 0;
    virtual void setCurrentPartNumber(const QString& partNumber) = 0;
};

}  // namespace Tessor::page
