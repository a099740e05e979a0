#pragma once

#include "page/PageDocument.h"

#include <QString>

#include <memory>

namespace sorvane {

// Writes to the page's elements by id. A missing page or element skips the
// write: every writer of cues, the clock and notices treats it as a failed
// step that is passed over.
namespace PageWrite {

inline void html(const std::shared_ptr<PageDocument> &document, const QString &id, const QString &value)
{
    if (document)
        if (PageElement *element = document->getElementById(id))
            element->setInnerHTML(value);
}

inline void text(const std::shared_ptr<PageDocument> &document, const QString &id, const QString &value)
{
    if (document)
        if (PageElement *element = document->getElementById(id))
            element->setInnerText(value);
}

} // namespace PageWrite
} // namespace sorvane
