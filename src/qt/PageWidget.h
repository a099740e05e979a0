#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <unordered_map>

class QPainter;
class QTextDocument;

namespace sorvane {

class PageDocument;
class PageElement;

// Shows the page as a browser would: the body background, the cue element
// `code` centred in the cell that fills the page, and the absolutely
// positioned elements in stacking order. Everything is read from the page
// model, so styles written later by commands and scripts show; one CSS
// pixel is one pixel. The widget repaints only when the model changes,
// keeps each element's laid-out text and glow until that element changes,
// and draws again only where the changed elements were and now are.
class PageWidget : public QWidget {
    Q_OBJECT

public:
    explicit PageWidget(std::shared_ptr<PageDocument> document, QWidget *parent = nullptr);
    ~PageWidget() override;

    void setDocument(std::shared_ptr<PageDocument> document);
    std::shared_ptr<PageDocument> document() const { return m_document; }

    // Called each time part of the page has been drawn afresh after a change
    // of the page or of its size, before the new picture shows, with the
    // whole page and the part of it that was drawn; outside that part the
    // page is as it was at the previous call.
    void setFrameListener(std::function<void(const QImage &frame, const QRegion &changed)> listener);
    // The page as last drawn, drawing it first when it is out of date.
    const QImage &frame();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Box;

    // The laid-out box of `element`, rebuilt when the element or the page
    // size changed since the last paint; `rebuilt` tells which.
    const Box &box(const PageElement &element, int order, bool &rebuilt);
    // The visible boxes in painting order, and the part of the page that
    // the boxes rebuilt, moved in the stacking order or gone cover now or
    // covered at the last drawing.
    QRegion stack(QVector<const Box *> &layers);
    void layoutInFlow(const PageElement &element, Box &box) const;
    void layoutPositioned(const PageElement &element, Box &box) const;
    // Draws the page into m_frame when it changed since the last time;
    // true when it did.
    bool renderFrame();
    void paintBox(QPainter &painter, const Box &box) const;
    // The element's text-shadow, drawn once per layout to go under its text.
    void makeGlow(Box &box) const;

    std::shared_ptr<PageDocument> m_document;
    std::unordered_map<const PageElement *, std::unique_ptr<Box>> m_boxes;
    QImage m_frame;
    bool m_frameDirty = true;
    // The whole frame is drawn again: no frame yet, a new size, page or
    // background.
    bool m_frameStale = true;
    bool m_renderQueued = false;
    QColor m_background;
    std::function<void(const QImage &, const QRegion &)> m_frameListener;
};

} // namespace sorvane
