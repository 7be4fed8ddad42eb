// The photo-frame settings a run carries; the photo-frame content code
// gives it its menus, layouts and controls.
#pragma once

#include <string>

#include "schema/data/BaseData.h"

namespace Tessor::schema {

class DpfConfig : public BaseData {
public:
    explicit DpfConfig(const std::string& name);
    ~DpfConfig() override = default;

    int init() override;
};

}  // namespace Tessor::schema
