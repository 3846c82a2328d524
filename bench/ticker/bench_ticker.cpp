// Starts Vantora's main window the way the program does (settings, built-in feed, start-up
// sequence), runs the market-index download so that the default index lines scroll at speed
// 3, lets the ticker run for a warm-up and then for N measured seconds, and prints:
//   - the processor time the process used, as a share of one core;
//   - the interval between the frames the control drew (mean, deviation, median, 95th
//     percentile, maximum) while a line was moving.
// Usage: bench_ticker [seconds] (default 20). Needs a display: run it under xvfb-run.
#include "app/StockMain.h"
#include "app/TickerFeed.h"
#include "options/frmOptions.h"
#include "settings/SettingsStore.h"
#include "window/ScrollerHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &tv) { return double(tv.tv_sec) + tv.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    // Settings and the program's folder in a scratch place, never the user's own.
    QTemporaryDir scratch;
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        qputenv("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("VANTORA_HOME"))
        qputenv("VANTORA_HOME", scratch.filePath(QStringLiteral("home")).toLocal8Bit());

    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int seconds = args.size() > 1 ? qMax(1, args.at(1).toInt()) : 20;

    SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("FirstRun"),
                         QStringLiteral("1"));
    SettingsStore::sync();

    StockMain main;
    main.Form_Load();
    QTextStream out(stdout);
    if (!main.scroller()->isLoaded()) {
        out << "no ticker control: " << main.scroller()->errorString() << Qt::endl;
        return 1;
    }
    frmOptions *options = main.options();
    options->findChild<QCheckBox *>(QStringLiteral("chkScroll"))->setChecked(true);
    options->findChild<QCheckBox *>(QStringLiteral("chkPauseScroll"))->setChecked(false);
    options->findChild<QSlider *>(QStringLiteral("ScrollSlider"))->setValue(3);
    main.GetMarketQuotes();
    int lines = 0;
    for (const QString &item : main.state().TickerItems)
        lines += item.isEmpty() ? 0 : 1;
    out << "index lines: " << lines << Qt::endl;

    QElapsedTimer clock;
    clock.start();
    std::vector<double> intervals;
    qint64 lastFrame = -1;
    bool measuring = false;
    // Every frame the control brings to the screen is a paint of its drawing surface.
    struct FrameProbe : QObject
    {
        std::function<void()> onFrame;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                onFrame();
            return QObject::eventFilter(watched, event);
        }
    } probe;
    probe.onFrame = [&] {
        const qint64 now = clock.nsecsElapsed();
        // A gap of more than a second is the pause between two lines, not a frame interval.
        if (measuring && lastFrame >= 0 && now - lastFrame < 1000000000LL)
            intervals.push_back(double(now - lastFrame) / 1e6);
        lastFrame = now;
    };
    QWidget *strip = main.scroller()->widget();
    QWidget *surface = strip->childAt(QPoint(strip->width() / 2, strip->height() / 2));
    (surface ? surface : strip)->installEventFilter(&probe);

    runFor(3000); // warm-up: the first lines start moving
    measuring = true;
    const double cpuStart = cpuSeconds();
    const qint64 wallStart = clock.nsecsElapsed();
    runFor(seconds * 1000);
    const double wall = double(clock.nsecsElapsed() - wallStart) / 1e9;
    const double cpu = cpuSeconds() - cpuStart;
    measuring = false;
    main.tickerFeed().stop();

    std::sort(intervals.begin(), intervals.end());
    double mean = 0;
    for (double v : intervals)
        mean += v;
    mean = intervals.empty() ? 0 : mean / double(intervals.size());
    double var = 0;
    for (double v : intervals)
        var += (v - mean) * (v - mean);
    const double sd = intervals.size() > 1 ? std::sqrt(var / double(intervals.size() - 1)) : 0;
    const auto pct = [&](double p) {
        return intervals.empty() ? 0.0 : intervals[std::size_t(p * double(intervals.size() - 1))];
    };
    out << "wall seconds: " << wall << Qt::endl;
    out << "cpu seconds: " << cpu << Qt::endl;
    out << "cpu share of one core: " << 100.0 * cpu / wall << " %" << Qt::endl;
    out << "frame intervals measured: " << qulonglong(intervals.size()) << Qt::endl;
    out << "frame interval ms: mean " << mean << ", sd " << sd << ", median " << pct(0.5)
        << ", p95 " << pct(0.95) << ", max " << (intervals.empty() ? 0 : intervals.back())
        << Qt::endl;
    return 0;
}
