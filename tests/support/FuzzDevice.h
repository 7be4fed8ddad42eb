// What the fuzz targets of the readers of a device's tables share: the
// input taken apart, a station set up once with its log in a file of its
// own, and a device slot bound to a record whose flash answers every read
// with the input's next bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/orrin/Sector.h"
#include "platform/taval/Taval.h"
#include "schema/base/Log.h"
#include "schema/base/UsbConfiguration.h"
#include "schema/device/UsbDevice.h"
#include "support/TempFolder.h"

namespace fuzz_support {

// The input read front to back; past its end every byte reads as 0xFF, as
// erased flash does.
class InputBytes {
public:
    InputBytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0xFF; }
    // The next `count` bytes.
    std::vector<uint8_t> take(size_t count)
    {
        std::vector<uint8_t> out(count, 0xFF);
        const size_t n = std::min(count, m_size - m_at);
        if (n > 0) {  // an empty input may come without bytes
            std::memcpy(out.data(), m_data + m_at, n);
        }
        m_at += n;
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// A device record whose flash reads answer with the input's next sectors, in
// the order they are asked for, whatever address they name: any answer a
// damaged or hostile device might give. Every other command fails.
class ScriptedFlash {
public:
    explicit ScriptedFlash(InputBytes& input) : m_device(std::make_unique<Device>())
    {
        m_device->input = &input;
        m_device->operations.readFlashSectors = &readFlashSectors;
        m_device->record.operations = &m_device->operations;
        std::strcpy(m_device->record.driveText, "FUZZ");
    }

    _USB_DEVICE_T* record() { return &m_device->record; }

private:
    struct Device {
        _USB_DEVICE_T record{};  // first, so the record leads back to its device
        DEV_OPERATIONS_T operations{};
        InputBytes* input = nullptr;
    };

    static int readFlashSectors(_USB_DEVICE_T* record, int /*chip*/, int /*sector*/, int count)
    {
        const size_t bytes = size_t(std::max(count, 0)) * Tessor::SECTOR_BYTES;
        if (count <= 0 || bytes > sizeof record->dataBuffer) {
            return 0;
        }
        const std::vector<uint8_t> answer = reinterpret_cast<Device*>(record)->input->take(bytes);
        std::memcpy(record->dataBuffer, answer.data(), bytes);
        record->dataLength = int(bytes);
        return 1;
    }

    std::unique_ptr<Device> m_device;
};

// The process's station, made at the first input: the configuration of a
// file without lines, and every log line, about whatever was read, written
// to a file of the process's own.
inline void enterStation()
{
    static const bool entered = [] {
        static const test_support::TempFolder folder;
        Tessor::schema::UsbConfiguration::instance("");
        (void)Tessor::schema::openLogFile((folder.path() + "/fuzz.log").c_str());  // stderr if not
        Tessor::schema::setLogSizeLimit(1 << 20);
        Tessor::schema::setLogLevel(Tessor::schema::LOG_DBUG);
        return true;
    }();
    (void)entered;
}

// The controllers of the chip sets that have a configuration table, one
// chosen by `choice`.
inline const char* chipSetOf(uint8_t choice)
{
    static const char* const kChipSets[] = {"6706", "6716", "6716V31", "6716V32", "6726", "6605"};
    return kChipSets[choice % std::size(kChipSets)];
}

}  // namespace fuzz_support
