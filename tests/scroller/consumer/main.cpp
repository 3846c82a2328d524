// Places the ticker control, scrolls a line through it and reads back a saved property, using
// only the installed header. Exit code 0 when all of that worked.
#include <slidetape/HorizontalScroller.h>

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(300, 24);
    auto *ticker = new Slidetape::HorizontalScroller(&window);
    ticker->setGeometry(window.rect());
    window.show();

    int frames = 0;
    QObject::connect(ticker, &Slidetape::HorizontalScroller::Change, [&frames] { ++frames; });
    ticker->setFontSize(14);
    ticker->DoScroll(QStringLiteral("DJIA 10,512.30 +45.10"), 40, 0, false);
    QElapsedTimer clock;
    clock.start();
    while (frames < 5 && clock.elapsed() < 30000)
        ticker->PS(20);

    const QVariantMap saved = ticker->saveProperties();
    const double fontSize = saved.value(QStringLiteral("FontSize")).toDouble();
    std::printf("frames %d, saved FontSize %g\n", frames, fontSize);
    return frames >= 5 && fontSize == 14.0 ? 0 : 1;
}
