#pragma once

namespace Tessor::interim {

class ScanMode {
public:
    virtual ~ScanMode() = default;
};

}  // namespace Tessor::interim
