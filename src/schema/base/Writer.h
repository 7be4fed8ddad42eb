// Objects that print a readable form of themselves for debug output.
#pragma once

#include <ostream>

namespace Tessor::IO {

class Writer {
public:
    virtual ~Writer() = default;
    virtual std::ostream& writeTo(std::ostream& out) const = 0;
};

inline std::ostream& operator<<(std::ostream& out, const Writer& writer)
{
    return writer.writeTo(out);
}

}  // namespace Tessor::IO
