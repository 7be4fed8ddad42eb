#pragma once

namespace Tessor::interim {

class SetList {
public:
    virtual ~SetList() = default;
};

}  // namespace Tessor::interim
