#include "Twips.h"

#include "Zoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

double Twips::logicalDpi()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) == nullptr)
        return StandardDpi;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return StandardDpi;
    const double dpi = screen->logicalDotsPerInch();
    return dpi > 0.0 ? dpi : StandardDpi;
}

int Twips::toPixels(const QWidget &widget, double twips)
{
    return toPixels(twips * Zoom::factor(widget));
}

double Twips::toTwips(const QWidget &widget, int pixels)
{
    return toTwips(pixels) / Zoom::factor(widget);
}

QSizeF Twips::screenSize(const QWidget &widget)
{
    const QScreen *screen = widget.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    const QSize size = screen->geometry().size();
    return {toTwips(widget, size.width()), toTwips(widget, size.height())};
}
