#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3RecCfg : public Mp3Block {
public:
    explicit Mp3RecCfg(const std::string& name);
    explicit Mp3RecCfg(const Sptr<Mp3RecCfg>& other);
    Mp3RecCfg& operator=(const Mp3RecCfg& other);
};

}  // namespace Tessor::schema
