// The cost of the see-through mode in the real window, under an X server:
//   - the time from a cue change to the new window shape (the page drawn
//     afresh, its key pixels found, the shape handed to the server),
//   - the CPU used while the clock runs in that mode, with the cue and the
//     clock box changing once a second as during playback.
// Usage: sorvane_seethrough_bench [seconds of playback, default 20]
#include "app/Main.h"
#include "page/PageDocument.h"
#include "qt/ColorKeyShape.h"
#include "qt/MainWindow.h"
#include "qt/PageWidget.h"
#include "qt/QtDialogHost.h"
#include "qt/QtPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace sorvane;

namespace {

const QString kCues[] = {
    QStringLiteral("我们走吧<br>Let us go"),
    QStringLiteral("这是第二行字幕，稍微长一些<br>This is the second cue, a little longer"),
    QStringLiteral("好<br>Fine"),
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;

    MainWindow window;
    QtDialogHost dialogs;
    dialogs.setMainWindow(&window);
    QtPlatform platform(window, dialogs);
    Main main(platform.services());
    window.attach(main);
    window.winId();
    main.initialise();
    window.setDocument(main.document);
    window.show();
    main.SetTextShadow(true);
    main.OnTitle();
    main.OnTitle();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        app.processEvents();

    auto *page = static_cast<PageWidget *>(window.centralWidget());
    PageElement *code = main.document->getElementById(QStringLiteral("code"));
    PageElement *clock = main.document->getElementById(QStringLiteral("TimeBox"));

    // Shape after a cue change: draw, find the key pixels, set the shape.
    std::vector<double> whole, regionOnly;
    for (int i = 0; i < 300; ++i) {
        code->setInnerHTML(kCues[i % 3]);
        QElapsedTimer t;
        t.start();
        const QImage &frame = page->frame(); // draws the page and sets the shape
        whole.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        const QRegion region = opaqueRegion(frame);
        regionOnly.push_back(t.nsecsElapsed() / 1e6);
        Q_UNUSED(region);
        app.processEvents();
    }
    std::printf("page %dx%d: cue change to new shape: median %.3f ms (key pixels to region alone: %.3f ms)\n",
                page->width(), page->height(), median(whole), median(regionOnly));

    // Playback: the clock's 1 ms timer (served every 15 ms) and a new cue
    // and clock text each second.
    int tick = 0;
    QTimer clockTimer;
    clockTimer.setInterval(15);
    QObject::connect(&clockTimer, &QTimer::timeout, [&] {
        ++tick;
        if (tick % 67 == 0) {
            const int second = tick / 67;
            code->setInnerHTML(kCues[second % 3]);
            clock->setInnerText(QStringLiteral("00:00:%1 / 00:10:00").arg(second % 60, 2, 10, QLatin1Char('0')));
        }
    });
    clockTimer.start();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    app.exec();
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("playing in see-through mode for %.1f s: CPU %.2f %% of one core\n", wall.elapsed() / 1000.0,
                100.0 * cpu / (wall.elapsed() / 1000.0));

    // The page drawn by parts over all those changes must equal the page
    // drawn whole, and the window's shape must follow it exactly.
    const QImage byParts = page->frame().copy();
    const QRect pageRect = page->geometry();
    const QRegion expectedShape =
        (QRegion(window.rect()) - QRegion(pageRect)) + opaqueRegion(byParts).translated(pageRect.topLeft());
    const bool shapeMatches = (window.mask() ^ expectedShape).isEmpty();
    PageWidget drawnWhole(main.document);
    drawnWhole.resize(page->size());
    const bool frameMatches = drawnWhole.frame() == byParts;
    std::printf("page drawn by parts equals the page drawn whole: %s; shape follows the page: %s\n",
                frameMatches ? "yes" : "NO", shapeMatches ? "yes" : "NO");
    return frameMatches && shapeMatches ? 0 : 1;
}
