// One content file of a photo frame (named by its full path), or a
// container whose children are such files.
#pragma once

#include <string>

#include "schema/base/Sptr.h"
#include "schema/data/BaseData.h"

namespace Tessor::schema {

class DpfDataItem : public BaseData {
public:
    explicit DpfDataItem(const std::string& name) : BaseData(name), m_fileName(name) {}
    // Named "DpfDataItem", with the other's file name.
    explicit DpfDataItem(const Sptr<DpfDataItem>& other) : BaseData("DpfDataItem"), m_fileName(other->m_fileName) {}
    ~DpfDataItem() override = default;

    int init() override { return 0; }
    void debug() override;

    const std::string& getFileName() const { return m_fileName; }
    void setFileName(const std::string& name) { m_fileName = name; }

private:
    std::string m_fileName;
};

}  // namespace Tessor::schema
