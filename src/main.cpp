#include "app/VantoraApp.h"
#include "platform/Platform.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsStore.h"
#if defined(VANTORA_WITH_WEBENGINE)
#include "platform/webengine/WebEngineBrowser.h"
#endif

#include <QApplication>
#include <QCommandLineParser>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &c, 1);
}

void installSignalHandlers()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void describeCommandLine(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Vantora: a stock-quote monitor with a quote grid, price alerts, a quote log, "
        "portfolio valuation and a scrolling market-index ticker.\n"
        "Settings: $XDG_CONFIG_HOME/Vantora/Vantora.conf. Program folder (logs): "
        "$VANTORA_HOME, see README."));
    parser.addHelpOption();
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Prints the version and ends.")));
}

} // namespace

int main(int argc, char *argv[])
{
    // The web engine's sandbox cannot run as root (containers); switch it off only then.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        std::fputs("vantora: running as root, so the web engine's sandbox is switched off\n",
                   stderr);
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }

    // --help and --version answer without a display, so they are handled before the
    // window system is opened.
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v") {
            QCoreApplication core(argc, argv);
            QCommandLineParser parser;
            describeCommandLine(parser);
            parser.process(core);
            if (parser.isSet(QStringLiteral("version")))
                std::printf("Vantora v%d.%d\n", VANTORA_VERSION_MAJOR, VANTORA_VERSION_MINOR);
            return 0;
        }
    }

#if defined(VANTORA_WITH_WEBENGINE)
    WebEngineBrowsers::prepareApplication();
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantora"));
    QApplication::setOrganizationName(QStringLiteral("Vantora"));
    QApplication::setQuitOnLastWindowClosed(false);
    {
        QCommandLineParser parser;
        describeCommandLine(parser);
        parser.process(app); // an unknown option prints the error and ends
    }

    // One Vantora per settings store: a second start shows the running window and ends.
    SingleInstance instance(SettingsStore::fileName(),
                            QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    if (instance.handOverToRunning())
        return 0;

#if defined(VANTORA_WITH_WEBENGINE)
    static WebEngineBrowsers browsers;
    Platform::setRealBrowsers(&browsers);
#endif

    installSignalHandlers();
    VantoraApp vantora;
    if (g_signalPipe[1] >= 0) {
        auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&] {
            char c;
            [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], &c, 1);
            vantora.terminate();
        });
    }
    QObject::connect(&instance, &SingleInstance::raiseRequested, &app,
                     [&] { vantora.bringToFront(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&](QSessionManager &) { vantora.sessionEnding(); });

    if (!vantora.start())
        return 0;
    return app.exec();
}
