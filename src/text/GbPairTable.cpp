#include "text/GbPairTable.h"

#include "text/AsciiWidening.h"

#include <QSysInfo>

#include <cstring>
#include <vector>

#include <iconv.h>

namespace sorvane {

namespace {

constexpr const char *kHostUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

bool isTrail(int b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

bool isSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDFFF;
}

} // namespace

const GbPairTable &GbPairTable::instance()
{
    static const GbPairTable table;
    return table;
}

GbPairTable::GbPairTable()
{
    iconv_t cd = iconv_open(kHostUtf16, "GB18030");
    if (cd == iconv_t(-1))
        return;
    auto convert = [cd](const char *bytes, size_t size, char16_t *out, size_t room) -> long {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(bytes);
        char *outPtr = reinterpret_cast<char *>(out);
        size_t inLeft = size, outLeft = room * 2;
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
            return -1;
        return long(room - outLeft / 2);
    };
    // A whole lead at once; only when that does not come out as one unit
    // per pair is each pair asked on its own.
    std::vector<char> pairs;
    std::vector<char16_t> units(kTrails * 2);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        pairs.clear();
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (isTrail(trail)) {
                pairs.push_back(char(lead));
                pairs.push_back(char(trail));
            }
        }
        const size_t count = pairs.size() / 2;
        char16_t *row = m_units + (lead - 0x81) * kTrails;
        bool whole = convert(pairs.data(), pairs.size(), units.data(), units.size()) == long(count);
        for (size_t i = 0; whole && i < count; ++i)
            whole = units[i] != 0 && !isSurrogate(units[i]);
        if (whole) {
            for (size_t i = 0; i < count; ++i)
                row[static_cast<unsigned char>(pairs[2 * i + 1]) - 0x40] = units[i];
            continue;
        }
        for (size_t i = 0; i < count; ++i) {
            char16_t one[4];
            if (convert(pairs.data() + 2 * i, 2, one, 4) == 1 && one[0] != 0 && !isSurrogate(one[0]))
                row[static_cast<unsigned char>(pairs[2 * i + 1]) - 0x40] = one[0];
        }
    }
    iconv_close(cd);
}

std::size_t GbPairTable::decodePrefix(const unsigned char *bytes, std::size_t size, char16_t *out,
                                      std::size_t *written) const
{
    std::size_t i = 0, n = 0;
    while (i < size) {
        if (bytes[i] < 0x80) {
            // Two bytes give one unit here, so the units the widening
            // writes past its run stay inside the room for `size`.
            const std::size_t ascii = widenAscii(bytes + i, size - i, out + n);
            i += ascii;
            n += ascii;
            continue;
        }
        if (i + 1 >= size)
            break;
        const char16_t u = unit(bytes[i], bytes[i + 1]);
        if (u == 0)
            break;
        out[n++] = u;
        i += 2;
    }
    *written = n;
    return i;
}

} // namespace sorvane
