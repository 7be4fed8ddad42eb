#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3DecCfg : public Mp3Block {
public:
    explicit Mp3DecCfg(const std::string& name);
    explicit Mp3DecCfg(const Sptr<Mp3DecCfg>& other);
    Mp3DecCfg& operator=(const Mp3DecCfg& other);
};

}  // namespace Tessor::schema
