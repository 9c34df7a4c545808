// musiclib-testmods DIR: writes the effect test modules to DIR/<name>.mod.
#include <cstdio>
#include <string>

#include "test_modules.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: musiclib-testmods DIR\n");
        return 2;
    }
    for (const auto& [name, builder] : testmods::All()) {
        std::vector<uint8_t> bytes = builder.Build();
        std::string path = std::string(argv[1]) + "/" + name + ".mod";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
            std::fprintf(stderr, "musiclib-testmods: cannot write %s\n", path.c_str());
            return 1;
        }
        std::fclose(f);
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
