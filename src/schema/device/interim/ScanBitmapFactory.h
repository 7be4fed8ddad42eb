#pragma once

namespace Tessor::interim {

class ScanBitmapFactory {
public:
    virtual ~ScanBitmapFactory() = default;
};

}  // namespace Tessor::interim
