// codetree DIR: writes synthetic firmware images under DIR/releases/code:
// the external code and the scan, USB-disk and photo-frame images the
// station's configuration names.
#include <cstdio>
#include <exception>

#include "support/CodeTree.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: codetree DIR\n");
        return 2;
    }
    try {
        code_test::makeTree(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "codetree: %s\n", e.what());
        return 1;
    }
    std::printf("firmware images written under %s/releases/code\n", argv[1]);
    return 0;
}
