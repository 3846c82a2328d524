#include "WebEngineBrowser.h"

#include <QCoreApplication>
#include <QPointer>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

class WebEngineBrowser : public WebBrowser
{
public:
    explicit WebEngineBrowser(QWidget *parent) : m_view(new QWebEngineView(parent))
    {
        m_view->setObjectName(QStringLiteral("WebBrowser1"));
        m_view->setAccessibleName(QStringLiteral("Browser"));
        // A page may not hand mailto: or a scheme of its own to a desktop program.
        m_view->settings()->setUnknownUrlSchemePolicy(
            QWebEngineSettings::DisallowUnknownUrlSchemes);
        connect(m_view, &QWebEngineView::loadStarted, this, [this] {
            m_busy = true;
            Q_EMIT downloadBegin();
        });
        connect(m_view, &QWebEngineView::loadFinished, this, [this] {
            m_busy = false;
            Q_EMIT downloadComplete();
        });
        // A title that arrives after the load has ended is shown too.
        connect(m_view, &QWebEngineView::titleChanged, this, [this] {
            if (!m_busy)
                Q_EMIT downloadComplete();
        });
    }
    ~WebEngineBrowser() override { delete m_view.data(); }

    QWidget *widget() override { return m_view; }
    // Busy from the request on: the engine reports the start of a load a moment later.
    void navigate(const QString &address) override
    {
        m_busy = true;
        m_view->load(QUrl(address));
    }
    bool goBack() override
    {
        if (!m_view->history()->canGoBack())
            return false;
        m_view->back();
        return true;
    }
    bool goForward() override
    {
        if (!m_view->history()->canGoForward())
            return false;
        m_view->forward();
        return true;
    }
    void stop() override { m_view->stop(); }
    void refresh() override { m_view->reload(); }
    // A frozen page runs no script or timer; only a page that is not visible can freeze.
    void pause() override
    {
        m_view->stop();
        m_view->hide();
        QWebEnginePage *page = m_view->page();
        page->setAudioMuted(true);
        page->setVisible(false);
        page->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
    }
    void resume() override
    {
        QWebEnginePage *page = m_view->page();
        page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
        page->setAudioMuted(false);
    }
    bool busy() const override { return m_busy; }
    QString locationURL() const override
    {
        return m_view ? m_view->url().toString(QUrl::FullyEncoded) : QString();
    }
    QString locationName() const override { return m_view ? m_view->title() : QString(); }

private:
    QPointer<QWebEngineView> m_view;
    bool m_busy = false;
};

} // namespace

std::unique_ptr<WebBrowser> WebEngineBrowsers::create(QWidget *parent)
{
    return std::make_unique<WebEngineBrowser>(parent);
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
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}
