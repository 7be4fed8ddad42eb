#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3I2cCfg : public Mp3Block {
public:
    explicit Mp3I2cCfg(const std::string& name);
    explicit Mp3I2cCfg(const Sptr<Mp3I2cCfg>& other);
    Mp3I2cCfg& operator=(const Mp3I2cCfg& other);
};

}  // namespace Tessor::schema
