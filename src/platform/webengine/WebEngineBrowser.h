#pragma once

#include "platform/WebBrowser.h"

// The embedded browser of this desktop: Qt WebEngine. The engine takes the system's proxy
// settings, never the quote downloader's.
class WebEngineBrowsers : public WebBrowserFactory
{
public:
    // What the engine needs before the application object exists: shared OpenGL contexts,
    // and Qt Quick's software renderer for the page view unless QT_QUICK_BACKEND names
    // another. A page view drawn through OpenGL turns the whole main window into an
    // OpenGL-composed surface, and then every frame of the ticker composes the whole window
    // again: without a GPU that cost a tenth of a core with the browser tray closed and most
    // of one with it open.
    static void prepareApplication();

    std::unique_ptr<WebBrowser> create(QWidget *parent) override;
};
