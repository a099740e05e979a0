#include "qt/PageWidget.h"

#include "page/PageDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <optional>

namespace sorvane {
namespace {

// What a browser uses where the page sets nothing.
constexpr double kDefaultFontPx = 16;
constexpr int kDefaultWeight = 400;
// Before the page is written the strip already shows the page's colour.
const QColor kNoDocumentColor(1, 1, 1);

// A CSS length in pixels: px, pt, em (of `emBase`), % (of `percentBase`)
// or a bare number; nothing for "auto", keywords and malformed values.
std::optional<double> cssLength(const QString &value, double percentBase, double emBase)
{
    static const QRegularExpression pattern(
        u"^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+))\\s*(px|pt|em|%|)\\s*$"_qs,
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(value);
    if (!m.hasMatch())
        return std::nullopt;
    const double number = m.captured(1).toDouble();
    const QString unit = m.captured(2).toLower();
    if (unit == u"%"_qs)
        return number * percentBase / 100.0;
    if (unit == u"em"_qs)
        return number * emBase;
    if (unit == u"pt"_qs)
        return number * 96.0 / 72.0;
    return number;
}

// CSS colours: names, #rgb, #rrggbb, rgb() and rgba(), and the bare hex
// digits that pages without a doctype accept. Invalid gives no colour.
QColor cssColor(const QString &text)
{
    const QString value = text.trimmed();
    if (value.isEmpty())
        return {};
    static const QRegularExpression functional(
        u"^rgba?\\(\\s*(\\d+)\\s*,\\s*(\\d+)\\s*,\\s*(\\d+)\\s*(?:,\\s*([\\d.]+)\\s*)?\\)$"_qs,
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = functional.match(value); m.hasMatch()) {
        QColor c(qBound(0, m.captured(1).toInt(), 255), qBound(0, m.captured(2).toInt(), 255),
                 qBound(0, m.captured(3).toInt(), 255));
        if (!m.captured(4).isEmpty())
            c.setAlphaF(qBound(0.0, m.captured(4).toDouble(), 1.0));
        return c;
    }
    QColor c = QColor::fromString(value);
    if (!c.isValid()) {
        static const QRegularExpression bareHex(u"^(?:[0-9a-fA-F]{3}|[0-9a-fA-F]{6})$"_qs);
        if (bareHex.match(value).hasMatch())
            c = QColor::fromString(u'#' + value);
    }
    return c;
}

QStringList fontFamilies(const QString &list)
{
    QStringList families;
    for (QString family : list.split(u',')) {
        family = family.trimmed();
        if (family.size() >= 2 && (family.front() == u'\'' || family.front() == u'"')
            && family.back() == family.front())
            family = family.mid(1, family.size() - 2).trimmed();
        if (!family.isEmpty())
            families << family;
    }
    return families;
}

int fontWeight(const QString &value, int inherited)
{
    const QString v = value.trimmed().toLower();
    if (v.isEmpty())
        return inherited;
    if (v == u"normal"_qs)
        return 400;
    if (v == u"bold"_qs)
        return 700;
    if (v == u"bolder"_qs)
        return inherited < 350 ? 400 : inherited < 550 ? 700 : 900;
    if (v == u"lighter"_qs)
        return inherited < 100 ? inherited : inherited < 550 ? 100 : inherited < 750 ? 400 : 700;
    bool ok = false;
    const int number = v.toInt(&ok);
    return ok && number >= 1 && number <= 1000 ? number : inherited;
}

double fontSize(const QString &value, double inherited)
{
    static const QHash<QString, double> keywords = {
        {u"xx-small"_qs, 9}, {u"x-small"_qs, 10}, {u"small"_qs, 13},   {u"medium"_qs, 16},
        {u"large"_qs, 18},   {u"x-large"_qs, 24}, {u"xx-large"_qs, 32}};
    const QString v = value.trimmed().toLower();
    if (auto it = keywords.constFind(v); it != keywords.cend())
        return *it;
    if (v == u"larger"_qs)
        return inherited * 1.2;
    if (v == u"smaller"_qs)
        return inherited / 1.2;
    const auto px = cssLength(v, inherited, inherited);
    return px && *px > 0 ? *px : inherited;
}

Qt::Alignment textAlign(const QString &value)
{
    const QString v = value.trimmed().toLower();
    if (v == u"center"_qs)
        return Qt::AlignHCenter;
    if (v == u"right"_qs)
        return Qt::AlignRight;
    if (v == u"justify"_qs)
        return Qt::AlignJustify;
    return Qt::AlignLeft;
}

// The browser sizes of <font size=N>, N from 1 to 7; "+N" and "-N" count
// from 3.
QString browserFontSizes(const QString &html)
{
    static const QRegularExpression fontTag(u"<font\\b([^>]*)>"_qs, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression sizeAttr(u"\\bsize\\s*=\\s*([\"']?)\\s*([+-]?\\d+)\\s*\\1"_qs,
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression styleAttr(u"\\bstyle\\s*=\\s*([\"'])"_qs,
                                              QRegularExpression::CaseInsensitiveOption);
    static const int pixels[] = {10, 13, 16, 18, 24, 32, 48};
    if (!html.contains(u"font"_qs, Qt::CaseInsensitive))
        return html;
    QString out;
    qsizetype last = 0;
    auto tags = fontTag.globalMatch(html);
    while (tags.hasNext()) {
        const auto tag = tags.next();
        QString attributes = tag.captured(1);
        const auto size = sizeAttr.match(attributes);
        if (!size.hasMatch())
            continue;
        const QString number = size.captured(2);
        int n = number.toInt();
        if (number.startsWith(u'+') || number.startsWith(u'-'))
            n += 3;
        const QString declaration = u"font-size:%1px;"_qs.arg(pixels[qBound(1, n, 7) - 1]);
        attributes.remove(size.capturedStart(), size.capturedLength());
        if (const auto style = styleAttr.match(attributes); style.hasMatch())
            attributes.insert(style.capturedEnd(), declaration);
        else
            attributes += u" style='"_qs + declaration + u'\'';
        out += QStringView(html).mid(last, tag.capturedStart() - last);
        out += u"<font"_qs + attributes + u'>';
        last = tag.capturedEnd();
    }
    out += QStringView(html).mid(last);
    return out;
}

// The look of an element's text after the cascade: inline style, then the
// rules of its classes, then what it inherits from the body.
struct TextLook {
    QFont font;
    QColor color;
    Qt::Alignment align = Qt::AlignLeft;
    std::optional<double> lineHeight;
};

class Cascade {
public:
    Cascade(const PageDocument &document, const PageElement &element)
        : m_document(document), m_element(element)
    {
        for (const QString &name : element.className().split(u' ', Qt::SkipEmptyParts))
            m_classRules << &document.classRule(name);
    }

    // The element's own specified value, "" when it has none.
    QString own(const QString &property) const
    {
        QString value = m_element.style().property(property);
        for (auto it = m_classRules.crbegin(); value.isEmpty() && it != m_classRules.crend(); ++it)
            value = (*it)->property(property);
        return value;
    }
    QString body(const QString &property) const { return m_document.bodyStyle().property(property); }
    // Own value, else the body's: for inherited properties.
    QString inherited(const QString &property) const
    {
        const QString value = own(property);
        return value.isEmpty() ? body(property) : value;
    }

    TextLook textLook() const
    {
        const double parentSize = fontSize(body(u"font-size"_qs), kDefaultFontPx);
        const int parentWeight = fontWeight(body(u"font-weight"_qs), kDefaultWeight);
        TextLook look;
        const double size = fontSize(own(u"font-size"_qs), parentSize);
        QStringList families = fontFamilies(inherited(u"font-family"_qs));
        if (families.isEmpty())
            families << u"Times New Roman"_qs << u"serif"_qs;
        look.font.setFamilies(families);
        // Grey edges only: coloured fringes would show around the text
        // where the background is keyed out.
        look.font.setStyleStrategy(QFont::NoSubpixelAntialias);
        look.font.setPixelSize(std::max(1, int(std::lround(size))));
        look.font.setWeight(QFont::Weight(fontWeight(own(u"font-weight"_qs), parentWeight)));
        const QString style = inherited(u"font-style"_qs).toLower();
        look.font.setItalic(style == u"italic"_qs || style == u"oblique"_qs);
        look.color = cssColor(inherited(u"color"_qs));
        if (!look.color.isValid())
            look.color = Qt::black;
        look.align = textAlign(inherited(u"text-align"_qs));
        const QString lineHeight = inherited(u"line-height"_qs).trimmed();
        bool unitless = false;
        const double factor = lineHeight.toDouble(&unitless);
        if (unitless)
            look.lineHeight = factor * size;
        else if (auto px = cssLength(lineHeight, size, size))
            look.lineHeight = *px;
        return look;
    }

private:
    const PageDocument &m_document;
    const PageElement &m_element;
    QVector<const PageStyle *> m_classRules;
};

std::unique_ptr<QTextDocument> layoutText(const QString &html, const TextLook &look)
{
    if (html.trimmed().isEmpty())
        return nullptr;
    auto text = std::make_unique<QTextDocument>();
    text->setUndoRedoEnabled(false);
    text->setDocumentMargin(0);
    text->setDefaultFont(look.font);
    QTextOption option(look.align);
    option.setWrapMode(QTextOption::WordWrap);
    text->setDefaultTextOption(option);
    text->setHtml(browserFontSizes(html));
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

struct Edges {
    double top = 0, right = 0, bottom = 0, left = 0;
};

Edges padding(const Cascade &cascade, double containerWidth, double em)
{
    Edges edges;
    auto length = [&](const QString &v) { return std::max(0.0, cssLength(v, containerWidth, em).value_or(0)); };
    const QStringList parts = cascade.own(u"padding"_qs).simplified().split(u' ', Qt::SkipEmptyParts);
    if (!parts.isEmpty()) {
        edges.top = length(parts[0]);
        edges.right = parts.size() > 1 ? length(parts[1]) : edges.top;
        edges.bottom = parts.size() > 2 ? length(parts[2]) : edges.top;
        edges.left = parts.size() > 3 ? length(parts[3]) : edges.right;
    }
    if (const QString v = cascade.own(u"padding-top"_qs); !v.isEmpty())
        edges.top = length(v);
    if (const QString v = cascade.own(u"padding-right"_qs); !v.isEmpty())
        edges.right = length(v);
    if (const QString v = cascade.own(u"padding-bottom"_qs); !v.isEmpty())
        edges.bottom = length(v);
    if (const QString v = cascade.own(u"padding-left"_qs); !v.isEmpty())
        edges.left = length(v);
    return edges;
}

QColor backgroundOf(const Cascade &cascade)
{
    QColor color = cssColor(cascade.own(u"background-color"_qs));
    if (!color.isValid())
        color = cssColor(cascade.own(u"background"_qs));
    return color;
}

struct Shadow {
    QPointF offset;
    double blur = 0;
    QColor color; // invalid: the text colour
};

// "x y [blur] [colour]" items separated by commas outside parentheses;
// malformed items are left out.
QVector<Shadow> textShadows(const QString &value, double em)
{
    QVector<Shadow> shadows;
    if (value.isEmpty() || value.compare(u"none"_qs, Qt::CaseInsensitive) == 0)
        return shadows;
    QStringList items{QString()};
    int depth = 0;
    for (QChar c : value) {
        if (c == u'(')
            ++depth;
        else if (c == u')')
            depth = std::max(0, depth - 1);
        if (c == u',' && depth == 0)
            items << QString();
        else
            items.last() += c;
    }
    static const QRegularExpression token(u"(?:rgba?\\([^)]*\\)|[^\\s]+)"_qs);
    for (const QString &item : items) {
        QVector<double> lengths;
        Shadow shadow;
        bool valid = true;
        auto tokens = token.globalMatch(item);
        while (tokens.hasNext()) {
            const QString t = tokens.next().captured(0);
            if (auto px = cssLength(t, em, em))
                lengths << *px;
            else if (QColor c = cssColor(t); c.isValid())
                shadow.color = c;
            else
                valid = false;
        }
        if (!valid || lengths.size() < 2 || lengths.size() > 4)
            continue;
        shadow.offset = QPointF(lengths[0], lengths[1]);
        shadow.blur = lengths.size() > 2 ? std::max(0.0, lengths[2]) : 0;
        shadows << shadow;
    }
    return shadows;
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
        background = cssColor(m_document->bodyStyle().property(u"background-color"_qs));
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
    const Cascade cascade(*m_document, element);
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
    b.background = backgroundOf(cascade);
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
    const Cascade cascade(*m_document, element);
    const TextLook look = cascade.textLook();
    b.color = look.color;
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
    const Cascade cascade(*m_document, element);
    const TextLook look = cascade.textLook();
    b.color = look.color;
    const double pageWidth = width();
    const double pageHeight = height();
    const double em = look.font.pixelSize();
    auto horizontal = [&](const QString &p) { return cssLength(cascade.own(p), pageWidth, em); };
    auto vertical = [&](const QString &p) { return cssLength(cascade.own(p), pageHeight, em); };
    const auto left = horizontal(u"left"_qs), right = horizontal(u"right"_qs);
    const auto top = vertical(u"top"_qs), bottom = vertical(u"bottom"_qs);
    const auto fixedWidth = horizontal(u"width"_qs), fixedHeight = vertical(u"height"_qs);
    const Edges pad = padding(cascade, pageWidth, em);

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
    const QVector<Shadow> shadows = textShadows(b.textShadow, b.text->defaultFont().pixelSize());
    if (shadows.isEmpty())
        return;
    const QSize textSize(int(std::ceil(b.text->size().width())), int(std::ceil(b.text->size().height())));
    int margin = 0, radius = 0;
    for (const Shadow &s : shadows) {
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
    for (const Shadow &s : shadows)
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
        const QColor color = it->color.isValid() ? it->color : b.color;
        const auto key = qMakePair(it->blur, color.rgba());
        auto image = made.find(key);
        if (image == made.end())
            image = made.insert(key, tintedBlur(inked, it->blur, color));
        p.drawImage(it->offset + QPointF(worked.topLeft() - reach.topLeft()), *image);
    }
    b.glowOrigin = b.textOrigin - QPoint(margin, margin) + reach.topLeft();
}

} // namespace sorvane
