#pragma once

#include <cstddef>
#include <cstring>

// The floor's whole work once the file is read: its "-->", found with memchr.
inline long countArrows(const char *bytes, std::size_t size)
{
    long arrows = 0;
    for (const char *p = bytes, *end = bytes + size;
         (p = static_cast<const char *>(std::memchr(p, '-', std::size_t(end - p)))) != nullptr;) {
        if (end - p >= 3 && p[1] == '-' && p[2] == '>') {
            ++arrows;
            p += 3;
        } else {
            ++p;
        }
    }
    return arrows;
}
