#include "qt/PageWidget.h"

#include "page/CssValue.h"
#include "page/PageCascade.h"
#include "page/PageDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <optional>

namespace sorvane {
namespace {

// Before the page is written the strip already shows the page's colour.
const QColor kNoDocumentColor(1, 1, 1);

// No colour gives the invalid colour.
QColor qColor(const std::optional<CssColor> &color)
{
    return color ? QColor::fromRgba64(color->red, color->green, color->blue, color->alpha) : QColor();
}

QFont fontOf(const TextLook &look)
{
    QFont font;
    font.setFamilies(look.families);
    // Grey edges only: coloured fringes would show around the text where
    // the background is keyed out.
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    font.setPixelSize(look.pixelSize);
    font.setWeight(QFont::Weight(look.weight));
    font.setItalic(look.italic);
    return font;
}

std::unique_ptr<QTextDocument> layoutText(const QString &html, const TextLook &look)
{
    if (html.trimmed().isEmpty())
        return nullptr;
    auto text = std::make_unique<QTextDocument>();
    text->setUndoRedoEnabled(false);
    text->setDocumentMargin(0);
    text->setDefaultFont(fontOf(look));
    QTextOption option(look.align);
    option.setWrapMode(QTextOption::WordWrap);
    text->setDefaultTextOption(option);
    text->setHtml(CssValue::browserFontSizes(html));
    // Blocks that set nothing themselves take the element's alignment and
    // line height; a fixed line puts its baseline where a browser's
    // half-leading would, near four fifths down.
    QTextCursor cursor(text.get());
    for (QTextBlock block = text->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        bool changed = false;
        if (!format.hasProperty(QTextFormat::BlockAlignment)) {
            format.setAlignment(look.align);
            changed = true;
        }
        if (look.lineHeight && format.lineHeightType() == QTextBlockFormat::SingleHeight) {
            format.setLineHeight(*look.lineHeight, QTextBlockFormat::FixedHeight);
            changed = true;
        }
        if (changed) {
            cursor.setPosition(block.position());
            cursor.setBlockFormat(format);
        }
    }
    return text;
}

// The radius of each of the three box passes that approximate a Gaussian
// of standard deviation blur / 2.
int boxRadius(double blur)
{
    const double sigma = blur / 2;
    return int(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
}

// The smallest rectangle holding every pixel of `image` that is not fully
// transparent.
QRect inkBounds(const QImage &image)
{
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int x = 0;
        while (x < image.width() && qAlpha(line[x]) == 0)
            ++x;
        if (x == image.width())
            continue;
        int last = image.width() - 1;
        while (qAlpha(line[last]) == 0)
            --last;
        left = std::min(left, x);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Blurs the alpha of `mask` as three box passes approximating a Gaussian
// of standard deviation blur / 2, and paints it in `color`. Outside the
// mask counts as transparent.
QImage tintedBlur(const QImage &mask, double blur, const QColor &color)
{
    const int w = mask.width(), h = mask.height();
    std::vector<int> alpha(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        for (int x = 0; x < w; ++x)
            alpha[size_t(y) * w + x] = qAlpha(line[x]);
    }
    const int radius = boxRadius(blur);
    if (radius > 0) {
        std::vector<int> scratch(alpha.size());
        auto pass = [&](bool horizontal) {
            const int lines = horizontal ? h : w, length = horizontal ? w : h;
            for (int l = 0; l < lines; ++l) {
                auto at = [&](int i) -> int & {
                    return horizontal ? alpha[size_t(l) * w + i] : alpha[size_t(i) * w + l];
                };
                int sum = 0;
                for (int i = -radius; i <= radius; ++i)
                    sum += (i >= 0 && i < length) ? at(i) : 0;
                for (int i = 0; i < length; ++i) {
                    (horizontal ? scratch[size_t(l) * w + i] : scratch[size_t(i) * w + l]) =
                        sum / (2 * radius + 1);
                    const int out = i - radius, in = i + radius + 1;
                    sum += (in < length ? at(in) : 0) - (out >= 0 ? at(out) : 0);
                }
            }
            alpha.swap(scratch);
        };
        for (int k = 0; k < 3; ++k) {
            pass(true);
            pass(false);
        }
    }
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    const int red = color.red(), green = color.green(), blue = color.blue(), opacity = color.alpha();
    for (int y = 0; y < h; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = alpha[size_t(y) * w + x] * opacity / 255;
            line[x] = qPremultiply(qRgba(red, green, blue, a));
        }
    }
    return out;
}

} // namespace

struct PageWidget::Box {
    quint64 revision = 0;
    QSize viewport;
    bool visible = false;
    bool positioned = false;
    int zIndex = 0;
    int order = 0;
    QRect area; // the padding box, filled with the background
    QPoint textOrigin;
    QColor background;
    QColor color;
    QString textShadow;
    std::unique_ptr<QTextDocument> text;
    // The glow, drawn once per layout: shadows composed under the text,
    // only over the part of the page they reach.
    QImage glow;
    QPoint glowOrigin;
    // Everything the box draws lies inside.
    QRect reach;
};

PageWidget::PageWidget(std::shared_ptr<PageDocument> document, QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setDocument(std::move(document));
}

PageWidget::~PageWidget()
{
    if (m_document)
        m_document->setChangeListener(nullptr);
}

void PageWidget::setDocument(std::shared_ptr<PageDocument> document)
{
    if (m_document)
        m_document->setChangeListener(nullptr);
    m_document = std::move(document);
    m_boxes.clear();
    m_frameStale = true;
    auto changed = [this] {
        m_frameDirty = true;
        // A command changes several properties in a row; the page is drawn
        // once after the last of them.
        if (!m_renderQueued) {
            m_renderQueued = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_renderQueued = false;
                    renderFrame();
                },
                Qt::QueuedConnection);
        }
    };
    if (m_document)
        m_document->setChangeListener(changed);
    changed();
}

void PageWidget::setFrameListener(std::function<void(const QImage &, const QRegion &)> listener)
{
    m_frameListener = std::move(listener);
}

const QImage &PageWidget::frame()
{
    renderFrame();
    return m_frame;
}

void PageWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_frameDirty = true;
    m_frameStale = true;
    renderFrame();
}

bool PageWidget::renderFrame()
{
    if (!m_frameDirty && m_frame.size() == size())
        return false;
    m_frameDirty = false;
    if (m_frame.size() != size()) {
        m_frame = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        m_frameStale = true;
    }
    QColor background = kNoDocumentColor;
    QVector<const Box *> layers;
    QRegion changed;
    if (m_document) {
        background = qColor(CssValue::color(m_document->bodyStyle().property(u"background-color"_qs)));
        if (!background.isValid())
            background = Qt::white;
        changed = stack(layers);
    }
    if (background != m_background) {
        m_background = background;
        m_frameStale = true;
    }
    if (m_frameStale)
        changed = QRegion(m_frame.rect());
    m_frameStale = false;
    changed &= QRegion(m_frame.rect());
    // Nothing that shows changed: the frame, the window and its shape stay.
    if (changed.isEmpty())
        return false;
    {
        QPainter painter(&m_frame);
        painter.setClipRegion(changed);
        for (const QRect &r : changed)
            painter.fillRect(r, background);
        const QRect bounds = changed.boundingRect();
        for (const Box *b : layers) {
            if (b->reach.intersects(bounds) && changed.intersects(b->reach))
                paintBox(painter, *b);
        }
    }
    if (m_frameListener)
        m_frameListener(m_frame, changed);
    update(changed);
    return true;
}

QRegion PageWidget::stack(QVector<const Box *> &layers)
{
    QRegion changed;
    const QVector<PageElement *> elements = m_document->elements();
    layers.reserve(elements.size());
    for (int i = 0; i < elements.size(); ++i) {
        QRect before;
        int orderBefore = -1;
        if (auto it = m_boxes.find(elements[i]); it != m_boxes.end()) {
            if (it->second->visible)
                before = it->second->reach;
            orderBefore = it->second->order;
        }
        bool rebuilt = false;
        const Box &b = box(*elements[i], i, rebuilt);
        if (rebuilt || orderBefore != i) {
            changed += before;
            if (b.visible)
                changed += b.reach;
        }
        if (b.visible)
            layers.append(&b);
    }
    // Forget the boxes of elements that left the page.
    if (m_boxes.size() != size_t(elements.size())) {
        for (auto it = m_boxes.begin(); it != m_boxes.end();) {
            if (elements.contains(const_cast<PageElement *>(it->first))) {
                ++it;
            } else {
                if (it->second->visible)
                    changed += it->second->reach;
                it = m_boxes.erase(it);
            }
        }
    }
    // Negative stacking orders go under the flow, the rest over it.
    std::stable_sort(layers.begin(), layers.end(), [](const Box *a, const Box *b) {
        const int la = a->positioned ? (a->zIndex < 0 ? 0 : 2) : 1;
        const int lb = b->positioned ? (b->zIndex < 0 ? 0 : 2) : 1;
        if (la != lb)
            return la < lb;
        if (a->zIndex != b->zIndex)
            return a->zIndex < b->zIndex;
        return a->order < b->order;
    });
    return changed;
}

const PageWidget::Box &PageWidget::box(const PageElement &element, int order, bool &rebuilt)
{
    std::unique_ptr<Box> &slot = m_boxes[&element];
    if (slot && slot->revision == element.revision() && slot->viewport == size()) {
        rebuilt = false;
        slot->order = order;
        return *slot;
    }
    rebuilt = true;
    slot = std::make_unique<Box>();
    Box &b = *slot;
    b.revision = element.revision();
    b.viewport = size();
    b.order = order;
    const PageCascade cascade(*m_document, element);
    const QString display = cascade.own(u"display"_qs).trimmed().toLower();
    const QString visibility = cascade.inherited(u"visibility"_qs).trimmed().toLower();
    if (display == u"none"_qs || visibility == u"hidden"_qs)
        return b;
    const QString position = cascade.own(u"position"_qs).trimmed().toLower();
    b.positioned = position == u"absolute"_qs || position == u"fixed"_qs;
    bool numeric = false;
    const int z = cascade.own(u"z-index"_qs).trimmed().toInt(&numeric);
    b.zIndex = numeric ? z : 0;
    b.textShadow = cascade.inherited(u"text-shadow"_qs).trimmed();
    // In the flow only the cue block shows: the other elements are the
    // table around it and the body, whose own boxes draw nothing.
    if (!b.positioned && element.id() != u"code"_qs)
        return b;
    b.background = qColor(cascade.background());
    if (b.positioned)
        layoutPositioned(element, b);
    else
        layoutInFlow(element, b);
    b.visible = true;
    if (b.background.isValid() && b.background.alpha() > 0)
        b.reach = b.area;
    if (b.text) {
        // Glyphs may stand out of their lines (italics, tall fallback
        // glyphs under a fixed line height): half an em around is kept.
        const int em = b.text->defaultFont().pixelSize();
        const QSize textSize(int(std::ceil(b.text->size().width())), int(std::ceil(b.text->size().height())));
        b.reach |= QRect(b.textOrigin, textSize).adjusted(-em / 2 - 2, -em / 2 - 2, em / 2 + 2, em / 2 + 2);
        makeGlow(b);
        if (!b.glow.isNull())
            b.reach |= QRect(b.glowOrigin, b.glow.size());
    }
    return b;
}

void PageWidget::layoutInFlow(const PageElement &element, Box &b) const
{
    // The cue block spans the one cell that fills the page; the cell
    // centres it vertically, and a cue taller than the page grows the table
    // downwards from the top, where the page clips it.
    const PageCascade cascade(*m_document, element);
    const TextLook look = cascade.textLook();
    b.color = qColor(look.color);
    b.text = layoutText(element.innerHTML(), look);
    const int width = this->width();
    int height = 0;
    if (b.text) {
        b.text->setTextWidth(width);
        height = int(std::ceil(b.text->size().height()));
    }
    const int top = std::max(0, (this->height() - height) / 2);
    b.area = QRect(0, top, width, height);
    b.textOrigin = b.area.topLeft();
}

void PageWidget::layoutPositioned(const PageElement &element, Box &b) const
{
    const PageCascade cascade(*m_document, element);
    const TextLook look = cascade.textLook();
    b.color = qColor(look.color);
    const double pageWidth = width();
    const double pageHeight = height();
    const double em = look.pixelSize;
    auto horizontal = [&](const QString &p) { return CssValue::length(cascade.own(p), pageWidth, em); };
    auto vertical = [&](const QString &p) { return CssValue::length(cascade.own(p), pageHeight, em); };
    const auto left = horizontal(u"left"_qs), right = horizontal(u"right"_qs);
    const auto top = vertical(u"top"_qs), bottom = vertical(u"bottom"_qs);
    const auto fixedWidth = horizontal(u"width"_qs), fixedHeight = vertical(u"height"_qs);
    const BoxEdges pad = cascade.padding(pageWidth, em);

    b.text = layoutText(element.innerHTML(), look);
    const double available =
        std::max(0.0, pageWidth - left.value_or(0) - right.value_or(0) - pad.left - pad.right);
    double contentWidth = 0;
    if (fixedWidth) {
        contentWidth = std::max(0.0, *fixedWidth);
    } else if (left && right) {
        contentWidth = available;
    } else if (b.text) {
        // Shrink to fit: as wide as the widest line, at most what is left.
        b.text->setTextWidth(available);
        contentWidth = std::min(std::ceil(b.text->idealWidth()), available);
    }
    double contentHeight = 0;
    if (b.text) {
        b.text->setTextWidth(contentWidth);
        contentHeight = std::ceil(b.text->size().height());
    }
    if (fixedHeight)
        contentHeight = std::max(0.0, *fixedHeight);

    const double boxWidth = contentWidth + pad.left + pad.right;
    const double boxHeight = contentHeight + pad.top + pad.bottom;
    // Without offsets the box stays where it would have flowed: after the
    // full-page table, below the visible page.
    const double x = left ? *left : right ? pageWidth - *right - boxWidth : 0;
    const double y = top ? *top : bottom ? pageHeight - *bottom - boxHeight : pageHeight;
    b.area = QRect(int(std::lround(x)), int(std::lround(y)), int(std::lround(boxWidth)),
                   int(std::lround(boxHeight)));
    b.textOrigin = QPoint(int(std::lround(x + pad.left)), int(std::lround(y + pad.top)));
}

void PageWidget::paintEvent(QPaintEvent *event)
{
    renderFrame();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect &r : event->region())
        painter.drawImage(r, m_frame, r);
}

void PageWidget::paintBox(QPainter &painter, const Box &b) const
{
    if (b.background.isValid() && b.background.alpha() > 0 && !b.area.isEmpty())
        painter.fillRect(b.area, b.background);
    if (!b.text)
        return;
    if (!b.glow.isNull())
        painter.drawImage(b.glowOrigin, b.glow);
    painter.save();
    painter.translate(b.textOrigin);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, b.color);
    b.text->documentLayout()->draw(&painter, context);
    painter.restore();
}

void PageWidget::makeGlow(Box &b) const
{
    const QVector<CssShadow> shadows = CssValue::textShadows(b.textShadow, b.text->defaultFont().pixelSize());
    if (shadows.isEmpty())
        return;
    const QSize textSize(int(std::ceil(b.text->size().width())), int(std::ceil(b.text->size().height())));
    int margin = 0, radius = 0;
    for (const CssShadow &s : shadows) {
        margin = std::max(margin, int(std::ceil(std::abs(s.offset.x()) + std::abs(s.offset.y()) + s.blur * 2)));
        radius = std::max(radius, boxRadius(s.blur));
    }
    // The text's coverage: every glyph casts its shadow whatever its colour.
    // The shadows are cut to this rectangle.
    QImage mask(textSize + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.translate(margin, margin);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, Qt::black);
        b.text->documentLayout()->draw(&p, context);
    }
    // Three box passes carry the ink at most three radii out; beyond that
    // the blurred mask stays clear, so only the inked part and its
    // surroundings are blurred and kept.
    const QRect ink = inkBounds(mask);
    if (ink.isEmpty())
        return;
    const QRect worked = ink.adjusted(-3 * radius, -3 * radius, 3 * radius, 3 * radius) & mask.rect();
    const QImage inked = mask.copy(worked);
    QRect reach;
    for (const CssShadow &s : shadows)
        reach |= QRectF(worked).translated(s.offset).toAlignedRect().adjusted(-1, -1, 1, 1);
    reach &= mask.rect();
    if (reach.isEmpty())
        return;
    b.glow = QImage(reach.size(), QImage::Format_ARGB32_Premultiplied);
    b.glow.fill(Qt::transparent);
    QPainter p(&b.glow);
    // The first shadow lies on top. A glow repeats one blur and colour at
    // several offsets, so each pair is made once.
    QHash<QPair<double, QRgb>, QImage> made;
    for (auto it = shadows.crbegin(); it != shadows.crend(); ++it) {
        const QColor color = it->color ? qColor(*it->color) : b.color;
        const auto key = qMakePair(it->blur, color.rgba());
        auto image = made.find(key);
        if (image == made.end())
            image = made.insert(key, tintedBlur(inked, it->blur, color));
        p.drawImage(it->offset + QPointF(worked.topLeft() - reach.topLeft()), *image);
    }
    b.glowOrigin = b.textOrigin - QPoint(margin, margin) + reach.topLeft();
}

} // namespace sorvane
