#pragma once

#include <cstddef>

namespace sorvane {

// The UTF-16 unit of every two-byte GB18030 character, taken once from iconv,
// so that Chinese text decodes by lookup instead of an iconv call per run.
// A pair that iconv does not decode to one BMP character has no unit here
// and is left to iconv.
class GbPairTable {
public:
    // Built on first use.
    static const GbPairTable &instance();

    // The unit of the pair, or 0 when the table does not hold it.
    char16_t unit(unsigned char lead, unsigned char trail) const
    {
        if (lead < 0x81 || lead > 0xFE || trail < 0x40)
            return 0;
        return m_units[(lead - 0x81) * kTrails + (trail - 0x40)];
    }

    // Decodes ASCII bytes and pairs the table holds from the start of
    // `bytes`, one unit per character into `out` (room for `size` units),
    // and stops before the first other byte. Returns the bytes consumed;
    // `*written` is the number of units.
    std::size_t decodePrefix(const unsigned char *bytes, std::size_t size, char16_t *out, std::size_t *written) const;

private:
    GbPairTable();

    static constexpr int kLeads = 0xFE - 0x81 + 1;
    static constexpr int kTrails = 0xFF - 0x40 + 1;
    char16_t m_units[kLeads * kTrails] = {};
};

} // namespace sorvane
