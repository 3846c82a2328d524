#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

// The main window's embedded web browser, reduced to what the browser panel drives: go to
// an address, back, forward, stop and refresh, whether a page is loading, and the address
// and title of the page shown. downloadBegin and downloadComplete bracket each page load.
class WebBrowser : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The widget that shows the pages; the browser owns it.
    virtual QWidget *widget() = 0;

    virtual void navigate(const QString &address) = 0;
    // Back or forward in the history; false when there is no page to go to.
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;
    virtual void stop() = 0;
    virtual void refresh() = 0;
    // Puts the page to rest behind a closed tray: loading stops, its scripts, timers and
    // sound pause, and its widget is hidden. resume() wakes it before it is shown again.
    virtual void pause() = 0;
    virtual void resume() = 0;

    // A page is loading.
    virtual bool busy() const = 0;
    // Address and title of the page shown; empty before the first page.
    virtual QString locationURL() const = 0;
    virtual QString locationName() const = 0;

Q_SIGNALS:
    void downloadBegin();
    void downloadComplete();
};

// Creates the embedded browser. Starting a browser engine is costly (its processes take
// several times the memory of the rest of the program), so it is asked for only when the
// first page is to be shown.
class WebBrowserFactory
{
public:
    virtual ~WebBrowserFactory() = default;
    // A browser whose widget is a child of parent; nullptr where the platform has none.
    virtual std::unique_ptr<WebBrowser> create(QWidget *parent) = 0;
};
