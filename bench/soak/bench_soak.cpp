// Soak: the main window as the program runs it, with its update cycle accelerated through the
// testing variables (a countdown second of 0 ms, so the shortest interval of one minute
// passes in 60 idle turns of the event loop, and 50 ms between ticker lines at the fastest
// speed), against the built-in feed. Counts whole cycles (one quote request and one request
// per ticked index) and prints the resident memory after the first cycle and at the end.
//
//   bench_soak [CYCLES]        (default 10000; QT_QPA_PLATFORM defaults to offscreen)
#include "app/StockMain.h"
#include "app/TickerFeed.h"
#include "net/Transfer.h"
#include "options/frmOptions.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// VmRSS in kB.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("VANTORA_HOME", scratch.filePath(QStringLiteral("home")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VANTORA_TEST_TICK_MS", "0");
    qputenv("VANTORA_TEST_LINE_MS", "50");

    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const long target = args.size() > 1 ? qMax(1L, args.at(1).toLong()) : 10000L;
    SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("FirstRun"),
                         QStringLiteral("1"));
    SettingsStore::sync();

    StockMain main;
    main.Form_Load();
    frmOptions *opt = main.options();
    opt->cboSeconds()->setCurrentIndex(0); // one minute: 60 countdown ticks
    opt->chkQuoteUpdate()->setChecked(true);
    opt->chkScroll()->setChecked(true);
    opt->chkPauseScroll()->setChecked(false);
    opt->ScrollSlider()->setValue(opt->ScrollSlider()->maximum());
    int indices = 0;
    for (QCheckBox *box : main.options()->findChildren<QCheckBox *>())
        indices += box->objectName().startsWith(QLatin1String("chkIndex")) && box->isChecked();
    const long requestsPerCycle = 1 + indices;

    QTextStream out(stdout);
    long completed = 0;
    long failed = 0;
    long startKb = -1;
    QEventLoop loop;
    QElapsedTimer clock;
    QObject::connect(&main.inetQuotes(), &Transfer::StateChanged, [&](Transfer::State state) {
        if (state == Transfer::State::Failed)
            ++failed;
        if (state != Transfer::State::Completed)
            return;
        ++completed;
        const long cycles = completed / requestsPerCycle;
        if (completed % requestsPerCycle != 0)
            return;
        if (cycles == 1) {
            startKb = residentKb();
            clock.start();
        }
        if (cycles % 1000 == 0)
            out << "cycle " << cycles << ": VmRSS " << residentKb() << " kB" << Qt::endl;
        if (cycles >= target)
            loop.quit();
    });
    main.timInterval().start();
    loop.exec();
    const long endKb = residentKb();
    const double seconds = clock.elapsed() / 1000.0;
    out << "cycles " << completed / requestsPerCycle << " (" << requestsPerCycle
        << " requests each, " << failed << " failed) in " << seconds << " s\n"
        << "VmRSS after the first cycle " << startKb << " kB, at the end " << endKb << " kB: "
        << "growth " << 100.0 * double(endKb - startKb) / double(startKb) << " %" << Qt::endl;
    main.tickerFeed().stop();
    return 0;
}
