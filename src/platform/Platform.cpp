#include "Platform.h"

#include "DesktopNotifications.h"
#include "NetworkManager.h"
#include "RealPlatform.h"
#include "SecretStoreKeychain.h"

namespace {

Platform &realServices()
{
    static RealMessageBox messageBox;
    static RealProgramLauncher programs;
    static RealSound sound;
    static NetworkManager networkManager;
    static RealConnectionState connection(networkManager);
    static RealDialUp dialUp(networkManager);
    static RealDialogs dialogs;
    static RealPrinter printer;
    static RealTrayIcon *tray = new RealTrayIcon; // lives until exit, like the window
    static DesktopNotifications notifications;
    static KeychainSecretStore secrets;
    static Platform services{&messageBox, &programs, &sound,  &connection,    &dialUp, &dialogs,
                             &printer,    tray,      nullptr, &notifications, &secrets};
    // NetworkManager is read from the first use of the services on, in the background.
    networkManager.start();
    return services;
}

Platform *g_installed = nullptr;

} // namespace

Platform &Platform::instance()
{
    return g_installed ? *g_installed : realServices();
}

void Platform::install(const Platform &services)
{
    static Platform slot;
    slot = services;
    g_installed = &slot;
}

void Platform::restoreReal()
{
    g_installed = nullptr;
}

void Platform::setRealBrowsers(WebBrowserFactory *browsers)
{
    realServices().browsers = browsers;
}
