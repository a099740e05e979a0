#include "subtitles/CueTextStore.h"

namespace sorvane {

namespace {

class CueOrder : public DeferredValues {
public:
    CueOrder(std::shared_ptr<const CueTextStore> store, bool swapped) : m_store(std::move(store)), m_swapped(swapped) {}
    Variant valueAt(qint32 index) const override { return Variant(m_store->html(index, m_swapped)); }

private:
    std::shared_ptr<const CueTextStore> m_store;
    bool m_swapped;
};

} // namespace

qint32 CueTextStore::add(CueLines cue)
{
    m_cues.push_back(std::move(cue));
    return qint32(m_cues.size() - 1);
}

QString CueTextStore::html(qint32 index, bool swapped) const
{
    if (index < 0 || size_t(index) >= m_cues.size())
        return QString();
    return m_parser.cueHtml(m_cues[size_t(index)], swapped);
}

std::shared_ptr<const DeferredValues> CueTextStore::order(std::shared_ptr<const CueTextStore> store, bool swapped)
{
    return std::make_shared<CueOrder>(std::move(store), swapped);
}

} // namespace sorvane
