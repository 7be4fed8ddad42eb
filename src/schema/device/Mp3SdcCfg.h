#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3SdcCfg : public Mp3Block {
public:
    explicit Mp3SdcCfg(const std::string& name);
    explicit Mp3SdcCfg(const Sptr<Mp3SdcCfg>& other);
    Mp3SdcCfg& operator=(const Mp3SdcCfg& other);
};

}  // namespace Tessor::schema
