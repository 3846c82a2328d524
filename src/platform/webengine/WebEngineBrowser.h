#pragma once

#include "platform/WebBrowser.h"

// The embedded browser of this desktop: Qt WebEngine. The engine takes the system's proxy
// settings, never the quote downloader's.
class WebEngineBrowsers : public WebBrowserFactory
{
public:
    std::unique_ptr<WebBrowser> create(QWidget *parent) override;
};
