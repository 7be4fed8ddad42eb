#pragma once

namespace Tessor::interim {

class IndexTableSet {
public:
    virtual ~IndexTableSet() = default;
};

}  // namespace Tessor::interim
