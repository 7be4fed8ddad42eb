#include "platform/taval/VirtualDevice.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/taval/ConfigTableSector.h"
#include "platform/taval/PrintableText.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

namespace {
constexpr int kIdAnswerBytes = 16;
}  // namespace

std::shared_ptr<VirtualDevice> VirtualDevice::open(const std::string& folder, std::string* error) {
    std::shared_ptr<VirtualDevice> device = openFiles(folder, true, error);
    if (!device) {
        return nullptr;
    }
    const DeviceDescription& s = device->m_description;
    std::error_code ec;
    std::filesystem::remove_all(folder + "/" + READ_BACK_FOLDER, ec);
    if (ec) {
        PLATFORM_LOG(4, "cannot clear %s/%s: %s", printableText(folder).c_str(), READ_BACK_FOLDER, ec.message().c_str());
    }
    if (!device->m_pages.open(folder + "/" + PAGES_FILE, s.geometry.totalSectors() / s.geometry.sectorsPerPage,
                              s.geometry.sectorsPerPage, device->m_flash, error)) {
        return nullptr;
    }
    device->m_boot = findConfigTable(device->m_flash, s);
    device->m_bootAddressing = GroupedAddressing(*s.variant, device->m_boot.table, s.geometry);
    PLATFORM_LOG(7, "device %s (%s) booted %s", printableText(folder).c_str(), s.variant->id.name,
          device->m_boot.sector < 0 ? "without a table" : "from its table");
    return device;
}

std::shared_ptr<VirtualDevice> VirtualDevice::openForExport(const std::string& folder, std::string* error) {
    return openFiles(folder, false, error);
}

std::shared_ptr<VirtualDevice> VirtualDevice::openFiles(const std::string& folder, bool writable, std::string* error) {
    DeviceDescription description;
    if (!DeviceDescription::load(folder, &description, error)) {
        return nullptr;
    }
    std::shared_ptr<VirtualDevice> device(new VirtualDevice(std::move(description)));
    const DeviceDescription& s = device->m_description;
    if (!device->m_flash.open(folder + "/" + FLASH_FILE, s.geometry.totalSectors(), writable, error) ||
        !device->m_logical.open(folder + "/" + LOGICAL_FILE, s.logicalSectors, writable, s.logicalFill, error)) {
        return nullptr;
    }
    return device;
}

bool VirtualDevice::writeTableToRam(const uint8_t* sent) {
    return perform(OpKind::TableToRam, 0, 0, 0, [&] {
        std::vector<uint8_t> table(sent, sent + m_description.variant->tableLength);
        if (const int changed = m_description.faults.tableToRamChangedByte(); changed >= 0) {
            table[size_t(changed)] ^= 0xFF;
        }
        if (!isValidTable(table.data())) {
            PLATFORM_LOG(3, "table for RAM has no signature or a wrong checksum");
            return false;
        }
        m_ram.setTable(*m_description.variant, table.data());
        m_ramInfo = RamFlashInfo::read(*m_description.variant, m_ram.table());
        return true;
    });
}

bool VirtualDevice::readFlashId(int chip, int kind, uint8_t* out, int* length) {
    return perform(OpKind::FlashId, chip, kind, 0, [&] {
        if (chip < 0 || chip > 3 || (kind != 0 && kind != 2)) {
            PLATFORM_LOG(3, "flash id of chip %d kind %d cannot be read", chip, kind);
            return false;
        }
        std::memset(out, 0xFF, kIdAnswerBytes);
        if (chip < m_description.chipsAnswering) {
            for (int i = 0; i < 4; ++i) {
                const uint8_t b = m_description.idBytes[size_t(i)];
                if (kind == 2) {
                    out[i] = b;
                } else {
                    out[2 * i] = b;
                    out[2 * i + 1] = m_description.dualChannel ? b : 0xFF;
                }
            }
        }
        *length = 8;
        m_timing.charge(0, 0, 0, *length);
        return true;
    });
}

bool VirtualDevice::downloadCode(uint8_t mode, const uint8_t* code, int length) {
    return perform(OpKind::CodeDownload, mode, length, 0, [&] {
        if (code == nullptr || length <= 0 || length > (1 << 20)) {
            PLATFORM_LOG(3, "code piece of %d bytes refused", length);
            return false;
        }
        std::vector<uint8_t> piece(code, code + length);
        if (const int changed = m_description.faults.codeChangedByte(); changed >= 0 && changed < length) {
            piece[size_t(changed)] ^= 0xFF;
        }
        m_timing.charge(0, 0, 0, length);
        return m_ram.addCode(*m_description.variant, mode, piece.data(), length);
    });
}

bool VirtualDevice::protect(int unit, int setting) {
    return perform(OpKind::Protect, unit, setting, 0, [&] {
        if (unit < 0 || unit > 3) {
            return false;
        }
        m_protect[unit] = setting;
        return true;
    });
}

bool VirtualDevice::switchPartition(int unit) {
    return perform(OpKind::Switch, unit, 0, 0, [&] {
        if (unit < 0 || unit >= RamLunTable::kSlots || servedUnits().slot[unit].capacity == 0) {
            PLATFORM_LOG(3, "%s serves no unit %d", m_description.driveText.c_str(), unit);
            return false;
        }
        m_activeUnit = unit;
        return true;
    });
}

bool VirtualDevice::readVersion(uint8_t* out, int* length) {
    return perform(OpKind::ReadVersion, 0, 0, 0, [&] {
        const Variant& v = *m_description.variant;
        // An untabled 6605 answers with its ROM's ".?0p".
        const char* digits = m_boot.sector < 0 && v.id.chipSet == 7 ? "..0p" : v.digits;
        if (!m_description.firmware.empty()) {
            digits = m_description.firmware.c_str();
        }
        if (m_boot.sector >= 0) {
            std::memcpy(out, m_boot.table.data(), size_t(v.tableLength));
        } else {
            std::memset(out, 0xFF, size_t(v.tableLength));
        }
        std::memcpy(out + 4, digits, 4);
        *length = v.tableLength;
        m_timing.charge(1, 0, 0, *length);
        return true;
    });
}

bool VirtualDevice::reset(int mode) { return perform(OpKind::Reset, mode, 0, 0, [] { return true; }); }

bool VirtualDevice::eject(bool* ejected) {
    const bool accepted = perform(OpKind::EjectCommand, 0, 0, 0, [] { return true; });
    if (!accepted) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    *ejected = !m_description.faults.failsCall(OpKind::EjectOutcome);
    m_log.add(OpKind::EjectOutcome, 0, 0, 0, *ejected);
    m_ejected = *ejected;
    return true;
}

bool VirtualDevice::volume(int operation) {
    return perform(OpKind::Volume, operation, 0, 0, [&] {
        if (operation == 0 || operation == 2) {
            ++m_locks;
        } else if (operation == 1) {
            m_locks = std::max(0, m_locks - 1);
        }
        return operation >= 0 && operation <= 4;
    });
}

void VirtualDevice::close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ram.clear();
    m_ramInfo = RamFlashInfo{};
}

bool VirtualDevice::claim() { return m_flash.hold(); }

void VirtualDevice::detach() {
    m_present = false;
    m_timing.interrupt();
    m_flash.letGo();
}

bool VirtualDevice::takeRemovalRequest() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_removalRequested, false);
}

int VirtualDevice::takeErrorRequest() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_errorRequested, false) ? m_description.faults.errorCode() : -1;
}

int VirtualDevice::takeCancelRequest() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_cancelRequested, false) ? m_description.faults.cancelCode() : -1;
}

PageState VirtualDevice::pageState(int64_t page) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pages.state(page);
}

int VirtualDevice::pagePrograms(int64_t page) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pages.programs(page);
}

std::vector<OpRecord> VirtualDevice::opLog() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log.entries();
}

std::vector<uint8_t> VirtualDevice::ramTable() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ram.table();
}

RamLunTable VirtualDevice::ramUnits() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ram.units();
}

std::vector<CodePiece> VirtualDevice::ramCode() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ram.code();
}

std::vector<int> VirtualDevice::firmwareModes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ram.firmwareModes();
}

int VirtualDevice::lockCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_locks;
}

}  // namespace Tessor::taval
