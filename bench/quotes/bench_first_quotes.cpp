// Time from the start of the process to the first quotes in the grid, and the resident
// memory then. Runs the main window's start-up as the program does once the splash has
// gone (its three seconds are not counted), with the built-in feed started in-process.
// Settings go to a fresh temporary folder, with the user agreement already accepted.
#include "app/StockMain.h"
#include "grid/FlexGrid.h"
#include "settings/SettingsStore.h"
#include "window/frmStockMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {

// Seconds since the kernel started this process.
double secondsSinceExec()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray s = stat.readAll();
    const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
    const double start = fields.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
    return uptime.readAll().split(' ').value(0).toDouble() - start;
}

QByteArray residentMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed();
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SettingsStore::write(QStringLiteral("Settings"), QStringLiteral("FirstRun"),
                         QStringLiteral("1"));
    SettingsStore::sync();

    StockMain main;
    main.Form_Load(); // shows the window and runs the first download
    auto *grid = main.form()->findChild<FlexGrid *>(QStringLiteral("gridQuotes"));
    QApplication::processEvents();
    const qint64 ms = sinceMain.elapsed();
    const double exec = secondsSinceExec();
    const bool ok = grid && grid->rows() > 1 && !grid->textMatrix(1, 4).isEmpty();

    std::printf("first quotes %s: %lld ms after main(), %.2f s after exec; VmRSS %s\n",
                ok ? "shown" : "MISSING", static_cast<long long>(ms), exec,
                residentMemory().constData());
    return ok ? 0 : 1;
}
