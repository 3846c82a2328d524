#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QtGlobal>

// Window and control sizes are kept in twips (1/1440 inch): 15 twips to a pixel at 96 dots
// per inch. The conversions scale with the logical dpi of the screen, so a form laid out in
// twips keeps its proportions on a screen with larger text.
namespace Twips {

constexpr double PerInch = 1440.0;
constexpr double StandardDpi = 96.0;
constexpr double PerPixelAtStandardDpi = PerInch / StandardDpi; // 15

// Logical dpi of the primary screen; 96 where there is no screen (no application yet).
inline double logicalDpi()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) == nullptr)
        return StandardDpi;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return StandardDpi;
    const double dpi = screen->logicalDotsPerInch();
    return dpi > 0.0 ? dpi : StandardDpi;
}

// Twips per pixel at the given dpi (15 at 96 dpi, 12 at 120 dpi).
constexpr double perPixel(double dpi)
{
    return PerInch / dpi;
}

// Twips to whole pixels, rounded to the nearest pixel.
constexpr int toPixels(double twips, double dpi)
{
    return qRound(twips * dpi / PerInch);
}

inline int toPixels(double twips)
{
    return toPixels(twips, logicalDpi());
}

// Pixels to twips (not rounded: 7 pixels at 96 dpi are 105 twips).
constexpr double toTwips(int pixels, double dpi)
{
    return pixels * PerInch / dpi;
}

inline double toTwips(int pixels)
{
    return toTwips(pixels, logicalDpi());
}

} // namespace Twips
