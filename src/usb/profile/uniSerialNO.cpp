#include "usb/profile/uniSerialNO.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"
#include "platform/ini/Ini.h"

namespace Tessor::schema {

uniSerialNO* uniSerialNO::uniInstance = nullptr;
uint32_t uniSerialNO::serialNO = 0;

namespace {

// A serial text has room for eight digits after its label; the counter
// standing here has handed out its last number.
const uint32_t USED_UP = uniSerialNO::LAST_SERIAL + 1;

}  // namespace

std::mutex& uniSerialNO::creationLock()
{
    static std::mutex lock;
    return lock;
}

uniSerialNO* uniSerialNO::instance(uint32_t start)
{
    uniSerialNO* counter;
    {
        std::lock_guard<std::mutex> guard(creationLock());
        if (!uniInstance) {
            uniInstance = new uniSerialNO();
        }
        counter = uniInstance;
    }
    if (start >= USED_UP) {
        CPLOG(3, "Serial number %u has more than eight digits: no serial number is left", start);
    }
    std::lock_guard<std::mutex> guard(counter->m_mutex);
    serialNO = start < USED_UP ? start : USED_UP;
    return counter;
}

uniSerialNO* uniSerialNO::instance()
{
    std::lock_guard<std::mutex> guard(creationLock());
    TESSOR_ASSERT(uniInstance != nullptr);
    return uniInstance;
}

void uniSerialNO::keepIn(const std::string& file, const std::string& section)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_file = file;
    m_section = section;
}

bool uniSerialNO::keep(uint32_t next)
{
    if (m_file.empty()) {
        return true;
    }
    // Past the last number the last is what the next run starts with.
    const std::string packed = std::to_string(packSerialNumber(next < USED_UP ? next : LAST_SERIAL));
    // Made durable as well: a power cut must not bring the number back.
    if (WritePrivateProfileStringA(m_section.c_str(), "SerialNumber", packed.c_str(), m_file.c_str()) == 0 ||
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, m_file.c_str()) == 0) {
        CPLOG(3, "Serial number %s not saved to %s : %s", packed.c_str(), m_file.c_str(), IO::iniLastErrorText());
        return false;
    }
    return true;
}

uniSerialNO::Taken uniSerialNO::takeSerialNO(uint32_t* number)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (serialNO >= USED_UP) {
        *number = LAST_SERIAL;
        return Taken::USED_UP;
    }
    if (!keep(serialNO + 1)) {
        return Taken::NOT_KEPT;
    }
    *number = serialNO++;
    return Taken::NEW;
}

bool uniSerialNO::takeLastSerialNO(uint32_t* number)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    const bool fresh = serialNO < USED_UP;
    *number = fresh ? serialNO++ : LAST_SERIAL;
    (void)keep(*number);  // logged; the run ends either way
    return fresh;
}

bool uniSerialNO::keepWith(const std::function<bool(uint32_t next)>& write)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return write(serialNO < USED_UP ? serialNO : LAST_SERIAL);
}

uint32_t uniSerialNO::peekSerialNO()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return serialNO >= USED_UP ? LAST_SERIAL : serialNO;
}

uint32_t packSerialNumber(uint32_t number)
{
    uint32_t bcd = 0;
    for (int digit = 0; digit < 8; ++digit) {
        bcd |= (number % 10) << (4 * digit);
        number /= 10;
    }
    return __builtin_bswap32(bcd);
}

uint32_t unpackSerialNumber(uint32_t packed)
{
    uint32_t bcd = __builtin_bswap32(packed);
    uint32_t number = 0;
    uint32_t weight = 1;
    for (; bcd != 0; bcd >>= 4, weight *= 10) {
        number += (bcd & 0x0F) * weight;
    }
    return number;
}

}  // namespace Tessor::schema
