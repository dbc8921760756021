// growth_table_generator <root>: writes the growth tables under <root>/<set>/<ITEM>.DAT.
#include <cstdio>
#include <string>

#include "tools/growthgen/GrowthTableGenerator.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!growthgen::WriteAll(argv[1], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
