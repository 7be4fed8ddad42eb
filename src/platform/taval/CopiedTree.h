// What a copy onto a volume left there, read back into a host folder and held
// against what was given: every entry of the source under its own name, each
// file with its own bytes.
#pragma once

#include <string>

namespace Tessor::taval {

class CopiedTree {
public:
    // `source` is a folder (its entries were copied) or one file; `readBack`
    // the folder the volume's root was read into. The first entry that is not
    // there as it was given, relative to the source; empty when all are.
    static std::string firstDifference(const std::string& source, const std::string& readBack);
};

}  // namespace Tessor::taval
