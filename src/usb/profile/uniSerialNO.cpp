#include "usb/profile/uniSerialNO.h"

#include "schema/base/Assert.h"
#include "schema/base/Log.h"

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

bool uniSerialNO::takeSerialNO(uint32_t* number)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (serialNO >= USED_UP) {
        *number = LAST_SERIAL;
        return false;
    }
    *number = serialNO++;
    return true;
}

uint32_t uniSerialNO::peekSerialNO()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return serialNO >= USED_UP ? LAST_SERIAL : serialNO;
}

uint32_t uniSerialNO::getSerialNO()
{
    uint32_t number = 0;
    if (!takeSerialNO(&number)) {
        CPLOG(3, "Serial numbers are used up: %u is handed out again", number);
    }
    return number;
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
