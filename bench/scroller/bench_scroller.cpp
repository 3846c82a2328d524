// Scrolls ticker lines through a HorizontalScroller the way the main window feeds it (one
// DoScroll per line at speed 3, then PS(2000)) for N seconds and prints the share of one
// processor the process used and the mean and standard deviation of the interval between
// frames. A pause that spins the processor shows up as a CPU share near 100 %.
#include "HorizontalScroller.h"
#include "ScrollerProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <sys/resource.h>

#include <cmath>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &tv) { return double(tv.tv_sec) + tv.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int seconds = args.size() > 1 ? qMax(1, args.at(1).toInt()) : 10;

    Slidetape::HorizontalScroller scroller;
    scroller.resize(600, 20);
    scroller.show();

    QElapsedTimer clock;
    std::vector<double> intervals;
    qint64 lastFrame = -1;
    QObject::connect(Slidetape::ScrollerProbe::of(scroller), &Slidetape::ScrollerProbe::frameShown,
                     [&] {
                         const qint64 now = clock.nsecsElapsed();
                         if (lastFrame >= 0)
                             intervals.push_back(double(now - lastFrame) / 1e6);
                         lastFrame = now;
                     });

    const QStringList lines{QStringLiteral(" DJIA      10,512.30      +45.10      +0.43%"),
                            QStringLiteral(" NASDAQ      2,113.05      -12.40      -0.58%"),
                            QStringLiteral(" S&P 500      1,178.80      +3.21      +0.27%")};
    const double cpuStart = cpuSeconds();
    clock.start();
    for (int i = 0; clock.elapsed() < seconds * 1000LL; ++i) {
        scroller.DoScroll(lines.at(i % lines.size()), 3, 0, false);
        scroller.PS(2000);
    }
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuStart;

    double mean = 0;
    for (double v : intervals)
        mean += v;
    mean = intervals.empty() ? 0 : mean / double(intervals.size());
    double variance = 0;
    for (double v : intervals)
        variance += (v - mean) * (v - mean);
    const double stddev =
        intervals.size() > 1 ? std::sqrt(variance / double(intervals.size() - 1)) : 0;

    QTextStream out(stdout);
    out << "wall time            " << wall << " s\n"
        << "process CPU time     " << cpu << " s (" << 100.0 * cpu / wall << " % of one core)\n"
        << "frames               " << intervals.size() + (lastFrame >= 0 ? 1 : 0) << "\n"
        << "frame interval mean  " << mean << " ms\n"
        << "frame interval sdev  " << stddev << " ms\n";
    return 0;
}
