// Process-wide serial-number counter of the incrementing serial mode.
#pragma once

#include <cstdint>
#include <mutex>

namespace Tessor::schema {

class uniSerialNO {
public:
    // The first call creates the counter; later calls re-seed it.
    static uniSerialNO* instance(uint32_t start);
    static uniSerialNO* instance();

    // A number no other caller receives; stays within eight digits.
    uint32_t getSerialNO();

    uniSerialNO(const uniSerialNO&) = delete;
    uniSerialNO& operator=(const uniSerialNO&) = delete;

private:
    uniSerialNO() = default;
    ~uniSerialNO() = default;

    static std::mutex& creationLock();
    static uniSerialNO* uniInstance;
    static uint32_t serialNO;
    std::mutex m_mutex;
};

// The packed form of a start number kept in the user profile: its decimal
// digits four bits each, bytes reversed (12345678 <-> 0x78563412).
uint32_t packSerialNumber(uint32_t number);
uint32_t unpackSerialNumber(uint32_t packed);

}  // namespace Tessor::schema
