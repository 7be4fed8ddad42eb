// Process-wide serial-number counter of the incrementing serial mode.
#pragma once

#include <cstdint>
#include <mutex>

namespace Tessor::schema {

class uniSerialNO {
public:
    // The last number of eight digits: the counter stops there.
    static constexpr uint32_t LAST_SERIAL = 99999999;

    // The first call creates the counter; later calls re-seed it. A start of
    // more than eight digits leaves the counter used up.
    static uniSerialNO* instance(uint32_t start);
    static uniSerialNO* instance();

    // The next number; false once LAST_SERIAL has been handed out, when
    // LAST_SERIAL is all there is and is handed out again.
    [[nodiscard]] bool takeSerialNO(uint32_t* number);
    // The next number, with a log line when the numbers are used up.
    uint32_t getSerialNO();
    // The number the next take hands out, not taken.
    uint32_t peekSerialNO();

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
