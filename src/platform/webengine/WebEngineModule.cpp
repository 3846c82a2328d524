// The web-engine module: Qt WebEngine behind the plain functions of WebEngineModule.
#include "WebEngineModule.h"

#include <QOpenGLContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace QtWebEngineCore {
// The engine's own set-up: the OpenGL context that it shares with Qt. Qt runs it when an
// application that links the engine starts; a module loaded later has to run it itself.
void initialize();
} // namespace QtWebEngineCore

namespace {

QWebEngineView *asView(QWidget *view)
{
    return static_cast<QWebEngineView *>(view);
}

const QWebEngineView *asView(const QWidget *view)
{
    return static_cast<const QWebEngineView *>(view);
}

QWidget *createView(QWidget *parent, std::function<void()> started, std::function<void()> finished,
                    std::function<void()> titleChanged)
{
    // Qt Quick's software renderer draws the view unless QT_QUICK_BACKEND names another. A
    // view drawn through OpenGL turns the whole main window into an OpenGL-composed
    // surface, and then every frame of the ticker composes the whole window again: without
    // a GPU that cost a tenth of a core with the tray closed and most of one with it open.
    // Chosen before the first view, the first Qt Quick window of the program. The engine
    // takes the OpenGL context that Qt shares when the program asked for one at start-up
    // (a GPU-drawn view), and otherwise makes its own now, not at start-up.
    static const bool prepared = [] {
        if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        if (!QOpenGLContext::globalShareContext())
            QtWebEngineCore::initialize();
        return true;
    }();
    Q_UNUSED(prepared);

    auto *view = new QWebEngineView(parent);
    // A page may not hand mailto: or a scheme of its own to a desktop program.
    view->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    QObject::connect(view, &QWebEngineView::loadStarted, view, std::move(started));
    QObject::connect(view, &QWebEngineView::loadFinished, view,
                     [finished = std::move(finished)](bool) { finished(); });
    QObject::connect(view, &QWebEngineView::titleChanged, view,
                     [titleChanged = std::move(titleChanged)](const QString &) { titleChanged(); });
    return view;
}

void load(QWidget *view, const QUrl &url)
{
    asView(view)->load(url);
}

bool goBack(QWidget *view)
{
    if (!asView(view)->history()->canGoBack())
        return false;
    asView(view)->back();
    return true;
}

bool goForward(QWidget *view)
{
    if (!asView(view)->history()->canGoForward())
        return false;
    asView(view)->forward();
    return true;
}

void stop(QWidget *view)
{
    asView(view)->stop();
}

void reload(QWidget *view)
{
    asView(view)->reload();
}

// A frozen page runs no script or timer; only a page that is not visible can freeze.
void pause(QWidget *view)
{
    asView(view)->stop();
    view->hide();
    QWebEnginePage *page = asView(view)->page();
    page->setAudioMuted(true);
    page->setVisible(false);
    page->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
}

void resume(QWidget *view)
{
    QWebEnginePage *page = asView(view)->page();
    page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
    page->setAudioMuted(false);
}

QUrl url(const QWidget *view)
{
    return asView(view)->url();
}

QString title(const QWidget *view)
{
    return asView(view)->title();
}

const WebEngineModule kModule{WebEngineModule::Version,
                              createView,
                              load,
                              goBack,
                              goForward,
                              stop,
                              reload,
                              pause,
                              resume,
                              url,
                              title};

} // namespace

extern "C" Q_DECL_EXPORT const WebEngineModule *vantoraWebEngineModule()
{
    return &kModule;
}
