#include "interface/KelSvgVersion.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kelsvg %s\n", KelSvgVersion());
        return 0;
    }
    std::fprintf(stderr, "usage: kelsvg [options] INPUT.svg OUTPUT.png\n");
    return 1;
}
