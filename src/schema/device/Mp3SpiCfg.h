#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3SpiCfg : public Mp3Block {
public:
    explicit Mp3SpiCfg(const std::string& name);
    explicit Mp3SpiCfg(const Sptr<Mp3SpiCfg>& other);
    Mp3SpiCfg& operator=(const Mp3SpiCfg& other);
};

}  // namespace Tessor::schema
