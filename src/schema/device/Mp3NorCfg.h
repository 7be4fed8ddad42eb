#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3NorCfg : public Mp3Block {
public:
    explicit Mp3NorCfg(const std::string& name);
    explicit Mp3NorCfg(const Sptr<Mp3NorCfg>& other);
    Mp3NorCfg& operator=(const Mp3NorCfg& other);
};

}  // namespace Tessor::schema
