// dpftree DIR: writes a synthetic photo-frame resource tree under
// DIR/releases/dpf: every picture and font file the photo-frame data table
// names, a few photos, books and a logo movie.
#include <cstdio>
#include <exception>

#include "support/DpfTree.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: dpftree DIR\n");
        return 2;
    }
    try {
        dpf_test::makeTree(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dpftree: %s\n", e.what());
        return 1;
    }
    std::printf("photo-frame tree written under %s/releases/dpf\n", argv[1]);
    return 0;
}
