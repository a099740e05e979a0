#include "qt/ColorKeyShape.h"

#include <QVector>

namespace sorvane {

QRegion opaqueRegion(const QImage &source, QRgb key)
{
    return opaqueRegion(source, source.rect(), key);
}

QRegion opaqueRegion(const QImage &source, const QRect &wanted, QRgb key)
{
    const QImage frame = (source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                          || source.format() == QImage::Format_ARGB32_Premultiplied)
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    const QRect area = wanted & frame.rect();
    if (area.isEmpty())
        return {};
    const int left = area.left(), end = area.right() + 1, top = area.top(), bottom = area.bottom() + 1;
    key &= 0xFFFFFF;

    QVector<QRect> rects;
    QVector<QPair<int, int>> runs, previousRuns; // [start, end) of the row
    int bandStart = 0;                           // index in rects of the previous row's band
    for (int y = top; y < bottom; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        runs.clear();
        int x = left;
        while (x < end) {
            while (x < end && (line[x] & 0xFFFFFF) == key)
                ++x;
            const int start = x;
            while (x < end && (line[x] & 0xFFFFFF) != key)
                ++x;
            if (x > start)
                runs.append({start, x});
        }
        // The same runs as the row above: that band grows one row down.
        if (y > top && !runs.isEmpty() && runs == previousRuns) {
            for (int i = bandStart; i < rects.size(); ++i)
                rects[i].setBottom(y);
            continue;
        }
        bandStart = int(rects.size());
        for (const auto &run : runs)
            rects.append(QRect(run.first, y, run.second - run.first, 1));
        previousRuns.swap(runs);
    }
    QRegion region;
    if (!rects.isEmpty())
        region.setRects(rects.constData(), int(rects.size()));
    return region;
}

} // namespace sorvane
