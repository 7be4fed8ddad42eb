#pragma once

#include "schema/data/BaseData.h"

namespace Tessor::interim {

class BuildInfo : public schema::BaseData {
public:
    static constexpr int PASSWORD_SIZE = 18;

    BuildInfo() : BaseData("BuildInfo") {}
    int init() override { return 0; }
    char* getPassword() { return m_password; }

private:
    char m_password[PASSWORD_SIZE] = {};
};

}  // namespace Tessor::interim
