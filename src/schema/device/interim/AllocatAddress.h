#pragma once

namespace Tessor::interim {

class AllocatAddress {
public:
    virtual ~AllocatAddress() = default;
};

}  // namespace Tessor::interim
