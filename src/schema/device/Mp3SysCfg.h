#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3SysCfg : public Mp3Block {
public:
    explicit Mp3SysCfg(const std::string& name);
    explicit Mp3SysCfg(const Sptr<Mp3SysCfg>& other);
    Mp3SysCfg& operator=(const Mp3SysCfg& other);
};

}  // namespace Tessor::schema
