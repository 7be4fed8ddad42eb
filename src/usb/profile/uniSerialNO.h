// Process-wide serial-number counter of the incrementing serial mode.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace Tessor::schema {

class uniSerialNO {
public:
    // The last number of eight digits: the counter stops there.
    static constexpr uint32_t LAST_SERIAL = 99999999;

    enum class Taken {
        NEW,       // a number no device had
        USED_UP,   // LAST_SERIAL, handed out before and handed out again
        NOT_KEPT,  // nothing taken: the next number could not be kept
    };

    // The first call creates the counter; later calls re-seed it. A start of
    // more than eight digits leaves the counter used up.
    static uniSerialNO* instance(uint32_t start);
    static uniSerialNO* instance();

    // The settings file and section the counter keeps its next number in
    // (key "SerialNumber", packed). From then on a number is kept there as
    // taken before it is handed out: however the run ends, killed or cut from
    // power, the next one never hands it out again.
    void keepIn(const std::string& file, const std::string& section);

    // The next number for a device.
    [[nodiscard]] Taken takeSerialNO(uint32_t* number);
    // Takes one number at the end of a run and keeps that very number, the
    // first one no device had, for the next run; false when used up.
    [[nodiscard]] bool takeLastSerialNO(uint32_t* number);
    // Runs `write` with the next number while no number can be taken, for a
    // writer that stores it among other settings: what it stores never falls
    // behind a number a device takes meanwhile. False when `write` fails.
    [[nodiscard]] bool keepWith(const std::function<bool(uint32_t next)>& write);
    // The number the next take hands out, not taken.
    uint32_t peekSerialNO();

    uniSerialNO(const uniSerialNO&) = delete;
    uniSerialNO& operator=(const uniSerialNO&) = delete;

private:
    uniSerialNO() = default;
    ~uniSerialNO() = default;

    // Writes `next` where the counter is kept; true when nothing is to be kept.
    bool keep(uint32_t next);

    static std::mutex& creationLock();
    static uniSerialNO* uniInstance;
    static uint32_t serialNO;
    std::mutex m_mutex;
    std::string m_file;
    std::string m_section;
};

// The packed form of a start number kept in the user profile: its decimal
// digits four bits each, bytes reversed (12345678 <-> 0x78563412).
uint32_t packSerialNumber(uint32_t number);
uint32_t unpackSerialNumber(uint32_t packed);

}  // namespace Tessor::schema
