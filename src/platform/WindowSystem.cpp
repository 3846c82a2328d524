#include "WindowSystem.h"

#include <QGuiApplication>

#include <atomic>
#include <cstdio>

bool WindowSystem::placesWindows()
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return true;
    static std::atomic_bool told{false};
    if (!told.exchange(true))
        std::fputs("vantora: under Wayland the compositor places the windows and keeps them on "
                   "top; Vantora leaves both to it\n",
                   stderr);
    return false;
}
