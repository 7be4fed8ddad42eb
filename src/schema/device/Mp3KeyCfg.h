#pragma once

#include "schema/device/Mp3Block.h"

namespace Tessor::schema {

class Mp3KeyCfg : public Mp3Block {
public:
    explicit Mp3KeyCfg(const std::string& name);
    explicit Mp3KeyCfg(const Sptr<Mp3KeyCfg>& other);
    Mp3KeyCfg& operator=(const Mp3KeyCfg& other);
};

}  // namespace Tessor::schema
