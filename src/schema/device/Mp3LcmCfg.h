#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3LcmCfg : public Mp3Block {
public:
    explicit Mp3LcmCfg(const std::string& name);
    explicit Mp3LcmCfg(const Sptr<Mp3LcmCfg>& other);
    Mp3LcmCfg& operator=(const Mp3LcmCfg& other);
};

}  // namespace Tessor::schema
