#pragma once

#include "platform/WebBrowser.h"

// The embedded browser of this desktop: Qt WebEngine, in a module of its own
// (libvantora_webengine.so, found where the ticker control is) that is loaded when the
// first page is shown. The engine takes the system's proxy settings, never the quote
// downloader's.
class WebEngineBrowsers : public WebBrowserFactory
{
public:
    // What the engine needs before the application object exists: shared OpenGL contexts
    // when the page view is drawn through the GPU. (The module chooses Qt Quick's software
    // renderer for the page view before its first view; see WebEngineModule.cpp.)
    static void prepareApplication();
    static QString libraryFileName();

    // nullptr when the module cannot be loaded.
    std::unique_ptr<WebBrowser> create(QWidget *parent) override;
};
