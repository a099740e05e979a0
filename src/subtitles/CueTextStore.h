#pragma once

#include "core/Dictionary.h"
#include "subtitles/SubtitleParser.h"

#include <memory>
#include <vector>

namespace sorvane {

// The cue texts of one load, kept as each cue's two text lines: the cue
// tables hold an index here for every second a cue covers and make the
// cue's HTML, in the order each table shows, when a key is first read.
// Both orders of every cue kept as HTML would take several times the room.
class CueTextStore {
public:
    explicit CueTextStore(SubtitleParser parser) : m_parser(std::move(parser)) {}

    void reserve(qsizetype n) { m_cues.reserve(size_t(std::max<qsizetype>(n, 0))); }
    // The new cue's index.
    qint32 add(CueLines cue);
    // The cue's HTML in file line order, or with the lines swapped.
    QString html(qint32 index, bool swapped) const;

    // A deferred source for a cue table: the store's HTML in one order.
    static std::shared_ptr<const DeferredValues> order(std::shared_ptr<const CueTextStore> store, bool swapped);

private:
    SubtitleParser m_parser;
    std::vector<CueLines> m_cues;
};

} // namespace sorvane
