#include "text/StringPool.h"

namespace sorvane {

QString StringPool::make(qsizetype size, char16_t *&chars)
{
    // Each string ends with a NUL of its own, as every QString does.
    const qsizetype needed = size + 1;
    if (needed > m_blockChars / 8) {
        QString alone(size, Qt::Uninitialized);
        chars = reinterpret_cast<char16_t *>(alone.data());
        return alone;
    }
    if (!m_block.d_ptr() || m_used + needed > m_block.size) {
        QString block(m_blockChars, Qt::Uninitialized);
        m_block = std::move(block.data_ptr());
        m_used = 0;
    }
    chars = m_block.data() + m_used;
    chars[size] = u'\0';
    m_used += needed;
    m_block.d_ptr()->ref();
    return QString(QString::DataPointer(m_block.d_ptr(), chars, size));
}

} // namespace sorvane
