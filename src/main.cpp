#include "app/VantoraApp.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsStore.h"
#include "window/ScrollerHost.h"
#if defined(VANTORA_WITH_WEBENGINE)
#include "platform/webengine/WebEngineBrowser.h"
#endif

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
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

// The files this copy of Vantora would use, as found now (nothing is created).
QString describeFiles()
{
    const QString none = QStringLiteral("(not found)");
    QString data = none;
    for (const QString &folder : ProgramFolder::dataFolders()) {
        if (QFileInfo::exists(folder + QStringLiteral("/Disclaimer.txt"))) {
            data = QDir::toNativeSeparators(folder);
            break;
        }
    }
    const QString ticker = ScrollerHost::locateLibrary();
    return QStringLiteral("Settings: %1/Vantora/Vantora.conf\n"
                          "Program folder (logs): %2\n"
                          "Data folder: %3\n"
                          "Ticker control: %4")
        .arg(QDir::toNativeSeparators(
                 QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)),
             QDir::toNativeSeparators(ProgramFolder::folder()), data,
             ticker.isEmpty() ? none : QDir::toNativeSeparators(ticker));
}

void describeCommandLine(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Vantora: a stock-quote monitor with a quote grid, price alerts, a quote "
                       "log, portfolio valuation and a scrolling market-index ticker.\n") +
        describeFiles());
    parser.addHelpOption();
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Prints the version and ends.")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("verbose"),
        QStringLiteral("Also prints the web engine's and the sound system's own messages.")));
}

// What the web engine and the sound system say about themselves when they start (their
// set-up, a missing sound server) is for someone looking into a problem: it is shown with
// --verbose, or when the user sets QT_LOGGING_RULES, and otherwise kept off the terminal.
QtMessageHandler g_defaultHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const QLatin1StringView chatter[] = {
        QLatin1StringView("Qt WebEngine seems to be initialized from a plugin"),
        QLatin1StringView("Attribute Qt::AA_ShareOpenGLContexts must be set"),
        QLatin1StringView("Sandboxing disabled by user"),
        QLatin1StringView("PulseAudioService:"),
    };
    if (type != QtCriticalMsg && type != QtFatalMsg) {
        if (context.category && qstrcmp(context.category, "qt.webenginecontext") == 0)
            return;
        for (const QLatin1StringView start : chatter) {
            if (message.startsWith(start))
                return;
        }
    }
    g_defaultHandler(type, context, message);
}

void quietenLibraries(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--verbose") == 0)
            return;
    }
    if (!qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        return;
    g_defaultHandler = qInstallMessageHandler(quietHandler);
    // The engine's own (Chromium's) log: errors only.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--log-level=3");
}

// The program's icon in every size rendered from its drawing at build time.
QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char *argv[])
{
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

    // The web engine's sandbox cannot run as root (containers); switch it off only then,
    // and only when the program starts (--help and --version stay quiet).
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        std::fputs("vantora: running as root, so the web engine's sandbox is switched off\n",
                   stderr);
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }

    // From here on SIGTERM and SIGINT end the program through its own exit, also when they
    // come while it is still starting: they wait in the pipe until the event loop runs.
    installSignalHandlers();
    quietenLibraries(argc, argv);
#if defined(VANTORA_WITH_WEBENGINE)
    WebEngineBrowsers::prepareApplication();
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantora"));
    QApplication::setOrganizationName(QStringLiteral("Vantora"));
    // The launcher's name, so that the desktop (and a Wayland compositor) matches the
    // windows to the launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VANTORA_APP_ID));
    QApplication::setWindowIcon(programIcon());
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
