// The one-sector list of the external-code pages, each counted in pages
// from page 0 of the configuration table's block, written for the 6605.
#pragma once

#include <array>
#include <vector>

#include "schema/base/Sptr.h"
#include "schema/device/BaseAddress.h"

namespace Tessor::schema {
class UsbDevice;
}

namespace Tessor::usb {

class ExternalCodeIndex {
public:
    static constexpr int SIZE = 512;
    static constexpr int MAX_ENTRIES = SIZE / 2;

    ExternalCodeIndex() = default;
    virtual ~ExternalCodeIndex() = default;

    int Init();
    // One entry per child of `codePages`; -1 when they do not fit.
    [[nodiscard]] int update(int pagesPerBlock, const schema::BaseAddress& cfgTable, schema::BaseData& codePages);
    // Pages per block from the device's flash record.
    [[nodiscard]] int update(schema::UsbDevice* device, const schema::BaseAddress& cfgTable, schema::BaseData& codePages);
    // Failures show in the log and in the validation that follows.
    [[nodiscard]] int writeFlash(schema::UsbDevice* device, Sptr<schema::BaseAddress> at);
    [[nodiscard]] int validateFlash(schema::UsbDevice* device, Sptr<schema::BaseAddress> at);

    const unsigned char* data() const { return m_record.data(); }
    // The entries of an index read back, up to the first unused one.
    static std::vector<int> entriesOf(const unsigned char* sector);

private:
    std::array<unsigned char, SIZE> m_record{};
};

}  // namespace Tessor::usb
