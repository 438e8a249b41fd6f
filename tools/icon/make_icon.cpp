// Writes the program's icon file. Run it after changing the logo and commit
// the result:  build/host/make_icon res/quilt.ico
#include <cstdio>
#include <fstream>

#include "quilt_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    const auto bytes = icon::make_quilt_ico();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
