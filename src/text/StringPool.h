#pragma once

#include <QString>

namespace sorvane {

// Makes many small strings that live about as long as each other (a cue
// table's keys and cue texts) out of a few large blocks instead of one
// allocation each. Each is an ordinary QString over its share of a block:
// copies share it, a change detaches as it does for any shared string, and
// a block is freed when no string of it is left, whether or not the pool
// still exists.
class StringPool {
public:
    explicit StringPool(qsizetype blockChars = 16 * 1024) : m_blockChars(blockChars) {}

    // A string of `size` characters, which the caller writes through `chars`
    // before the string is read or copied.
    QString make(qsizetype size, char16_t *&chars);

private:
    qsizetype m_blockChars;
    QString::DataPointer m_block;
    qsizetype m_used = 0;
};

} // namespace sorvane
