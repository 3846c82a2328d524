#include "WebEngineBrowser.h"

#include "WebEngineModule.h"
#include "common/PluginFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

// The module, loaded on the first call and kept for the life of the process; nullptr when
// it is missing or of another version (said once on standard error).
const WebEngineModule *engineModule()
{
    static const WebEngineModule *const module = []() -> const WebEngineModule * {
        QStringList tried;
        for (const QString &dir : pluginSearchDirs()) {
            const QString path = QDir(dir).filePath(WebEngineBrowsers::libraryFileName());
            if (!QFileInfo::exists(path))
                continue;
            QLibrary library(path);
            using Entry = const WebEngineModule *(*)();
            const auto entry = reinterpret_cast<Entry>(library.resolve(kWebEngineModuleEntry));
            const WebEngineModule *found = entry ? entry() : nullptr;
            if (found && found->version == WebEngineModule::Version)
                return found;
            tried << (entry ? path + QStringLiteral(" (another version)") : library.errorString());
        }
        std::fprintf(stderr,
                     "vantora: the web engine module %s was not loaded%s%s; the browser "
                     "panel shows no pages\n",
                     qPrintable(WebEngineBrowsers::libraryFileName()), tried.isEmpty() ? "" : ": ",
                     qPrintable(tried.join(QStringLiteral("; "))));
        return nullptr;
    }();
    return module;
}

class WebEngineBrowser : public WebBrowser
{
public:
    WebEngineBrowser(const WebEngineModule &engine, QWidget *parent) : m_engine(engine)
    {
        m_view = m_engine.createView(
            parent,
            [this] {
                m_busy = true;
                Q_EMIT downloadBegin();
            },
            [this] {
                m_busy = false;
                Q_EMIT downloadComplete();
            },
            // A title that arrives after the load has ended is shown too.
            [this] {
                if (!m_busy)
                    Q_EMIT downloadComplete();
            });
        m_view->setObjectName(QStringLiteral("WebBrowser1"));
        m_view->setAccessibleName(QStringLiteral("Browser"));
    }
    ~WebEngineBrowser() override { delete m_view.data(); }

    QWidget *widget() override { return m_view; }
    // Busy from the request on: the engine reports the start of a load a moment later.
    void navigate(const QString &address) override
    {
        m_busy = true;
        m_engine.load(m_view, QUrl(address));
    }
    bool goBack() override { return m_engine.goBack(m_view); }
    bool goForward() override { return m_engine.goForward(m_view); }
    void stop() override { m_engine.stop(m_view); }
    void refresh() override { m_engine.reload(m_view); }
    void pause() override { m_engine.pause(m_view); }
    void resume() override { m_engine.resume(m_view); }
    bool busy() const override { return m_busy; }
    QString locationURL() const override
    {
        return m_view ? m_engine.url(m_view).toString(QUrl::FullyEncoded) : QString();
    }
    QString locationName() const override { return m_view ? m_engine.title(m_view) : QString(); }

private:
    const WebEngineModule &m_engine;
    QPointer<QWidget> m_view;
    bool m_busy = false;
};

} // namespace

QString WebEngineBrowsers::libraryFileName()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("vantora_webengine.dll");
#else
    return QStringLiteral("libvantora_webengine.so");
#endif
}

std::unique_ptr<WebBrowser> WebEngineBrowsers::create(QWidget *parent)
{
    const WebEngineModule *engine = engineModule();
    if (!engine)
        return nullptr;
    return std::make_unique<WebEngineBrowser>(*engine, parent);
}

#if defined(__SANITIZE_ADDRESS__)
// The engine's own code deletes some objects through a pointer of another type, which a
// sanitized build would otherwise stop at as soon as it shows a page. Everything else
// stays checked.
extern "C" const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif

void WebEngineBrowsers::prepareApplication()
{
    // Shared OpenGL contexts make the application create an OpenGL context at start-up,
    // which maps the system's OpenGL driver (without a GPU, llvmpipe: some 50 MB) before any
    // page is shown. The page view drawn by Qt Quick's software renderer needs none; only
    // a view drawn through the GPU (QT_QUICK_BACKEND naming another renderer) does.
    const QByteArray backend = qgetenv("QT_QUICK_BACKEND");
    if (!backend.isEmpty() && backend != "software")
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
