#pragma once

#include <QImage>
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
// pixel is one pixel. The widget repaints only when the model changes and
// keeps each element's laid-out text until that element changes.
class PageWidget : public QWidget {
    Q_OBJECT

public:
    explicit PageWidget(std::shared_ptr<PageDocument> document, QWidget *parent = nullptr);
    ~PageWidget() override;

    void setDocument(std::shared_ptr<PageDocument> document);
    std::shared_ptr<PageDocument> document() const { return m_document; }

    // Called with the whole page each time it has been drawn afresh after a
    // change of the page or of its size, before the new picture shows.
    void setFrameListener(std::function<void(const QImage &frame)> listener);
    // The page as last drawn, drawing it first when it is out of date.
    const QImage &frame();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Box;

    // The laid-out box of `element`, rebuilt when the element or the page
    // size changed since the last paint.
    const Box &box(const PageElement &element, int order);
    void layoutInFlow(const PageElement &element, Box &box) const;
    void layoutPositioned(const PageElement &element, Box &box) const;
    // Draws the page into m_frame when it changed since the last time;
    // true when it did.
    bool renderFrame();
    void paintPage(QPainter &painter);
    void paintBox(QPainter &painter, const Box &box) const;
    // The glow pass: the element's text-shadow, under its text.
    void paintGlow(QPainter &painter, const Box &box) const;

    std::shared_ptr<PageDocument> m_document;
    std::unordered_map<const PageElement *, std::unique_ptr<Box>> m_boxes;
    QImage m_frame;
    bool m_frameDirty = true;
    bool m_renderQueued = false;
    std::function<void(const QImage &)> m_frameListener;
};

} // namespace sorvane
