// The place of one screen item of a photo frame.
#pragma once

#include <cstdint>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

// 0 OSD, 1 alarm, 2 power, 3 power state, 4 clock, 5 date, 6 alarm number,
// 7 movie, 8 calendar, 9 calendar date; -1 the container of the ten.
typedef int DPF_COORD_ITEM_T;

struct ItemCoordinate {
    int32_t Top;
    int32_t Left;
    int32_t Right;
    int32_t Bottom;
};

class DpfLayout : public BaseData {
public:
    DpfLayout(const std::string& name, DPF_COORD_ITEM_T type);
    // Named "DpfLayout", with the other's item type and rectangle.
    explicit DpfLayout(const Sptr<DpfLayout>& other)
        : BaseData("DpfLayout"), m_coordinate(other->m_coordinate), m_type(other->m_type)
    {
    }
    DpfLayout(const DpfLayout& other) = default;
    // The item type and the rectangle only.
    DpfLayout& operator=(const DpfLayout& other)
    {
        m_coordinate = other.m_coordinate;
        m_type = other.m_type;
        return *this;
    }
    ~DpfLayout() override = default;

    int init() override;
    void debug() override;

    ItemCoordinate* getCoordinate() { return &m_coordinate; }
    void setCoordinate(const ItemCoordinate* coordinate) { m_coordinate = *coordinate; }
    DPF_COORD_ITEM_T getType() const { return m_type; }

private:
    ItemCoordinate m_coordinate;
    DPF_COORD_ITEM_T m_type;
};

}  // namespace Tessor::schema
