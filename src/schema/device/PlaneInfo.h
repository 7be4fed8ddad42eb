// Plane organisation of the flash.
#pragma once

#include "schema/base/Sptr.h"

namespace Tessor::schema {

class PlaneInfo {
public:
    PlaneInfo() = default;
    PlaneInfo(int chipCounts, int interleavePerChip, int planePerChip)
        : m_chipCounts(chipCounts), m_interleavePerChip(interleavePerChip), m_planePerChip(planePerChip)
    {
    }
    explicit PlaneInfo(const Sptr<PlaneInfo>& other)
        : m_chipCounts(other->m_chipCounts),
          m_interleavePerChip(other->m_interleavePerChip),
          m_planePerChip(other->m_planePerChip)
    {
    }
    virtual ~PlaneInfo() = default;

    int getChipCounts() const { return m_chipCounts; }
    void setChipCounts(int n) { m_chipCounts = n; }
    int getInterleavePerChip() const { return m_interleavePerChip; }
    void setInterleavePerChip(int n) { m_interleavePerChip = n; }
    int getPlanePerChip() const { return m_planePerChip; }
    void setPlanePerChip(int n) { m_planePerChip = n; }
    int getTotalPlanes() const { return m_chipCounts * m_interleavePerChip * m_planePerChip; }

private:
    int m_chipCounts = 1;
    int m_interleavePerChip = 1;
    int m_planePerChip = 1;
};

}  // namespace Tessor::schema
