// The floor for loading a subtitle file: a program that only reads the file
// and counts its "-->" with memchr. The benchmarks run it as a process, as
// they run ffmpeg, so both anchors pay the same start-up.
#include "ArrowCount.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    std::FILE *f = std::fopen(argv[1], "rb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    char *bytes = static_cast<char *>(std::malloc(size_t(size) + 1));
    const size_t got = std::fread(bytes, 1, size_t(size), f);
    std::fclose(f);
    const long arrows = countArrows(bytes, got);
    std::printf("%ld\n", arrows);
    std::free(bytes);
    return 0;
}
