// Writes and reads controller records through a layout class (write, read,
// length per variant) the way the layout tests look at them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "usb/cfg/CfgVariant.h"

inline constexpr Tessor::usb::CfgVariant kAllVariants[] = {
    Tessor::usb::CfgVariant::V6706,    Tessor::usb::CfgVariant::V6716, Tessor::usb::CfgVariant::V6716V31,
    Tessor::usb::CfgVariant::V6716V32, Tessor::usb::CfgVariant::V6726, Tessor::usb::CfgVariant::V6605};

constexpr uint8_t kBehindRecord = 0xEE;
constexpr size_t kRecordRoom = 160;

// The written record; checks its length and that nothing lands behind it.
template <class Layout, class Value>
std::vector<uint8_t> writtenRecord(Tessor::usb::CfgVariant variant, const Value& value)
{
    std::vector<uint8_t> buffer(kRecordRoom, kBehindRecord);
    const int len = Layout::write(variant, value, buffer.data());
    EXPECT_EQ(Layout::length(variant), len);
    EXPECT_EQ(kBehindRecord, buffer[len]) << "written past the record";
    buffer.resize(len);
    return buffer;
}

// `target` after reading back what `source` wrote.
template <class Layout, class Value>
Value readBack(Tessor::usb::CfgVariant variant, const Value& source, Value target = Value())
{
    const std::vector<uint8_t> bytes = writtenRecord<Layout>(variant, source);
    EXPECT_EQ(Layout::length(variant), Layout::read(variant, target, bytes.data()));
    return target;
}

// What a reader takes back, its writer writes again byte for byte.
template <class Layout, class Value>
void expectRewrittenAlike(Tessor::usb::CfgVariant variant, const Value& source)
{
    EXPECT_EQ(writtenRecord<Layout>(variant, source),
              writtenRecord<Layout>(variant, readBack<Layout>(variant, source)))
        << static_cast<int>(variant);
}
