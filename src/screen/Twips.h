#pragma once

#include <QSizeF>
#include <QtGlobal>

class QWidget;

// Window and control sizes are kept in twips (1/1440 inch): 15 twips to a pixel at 96 dots
// per inch. The conversions scale with the logical dpi of the screen, so a form laid out in
// twips keeps its proportions on a screen with larger text. A window may also carry a zoom
// (see Zoom.h); the conversions that take a widget scale by the zoom of its window, so a
// layout written in twips grows with the window.
namespace Twips {

constexpr double PerInch = 1440.0;
constexpr double StandardDpi = 96.0;
constexpr double PerPixelAtStandardDpi = PerInch / StandardDpi; // 15

// Logical dpi of the primary screen; 96 where there is no screen (no application yet).
double logicalDpi();

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

// The same conversions in the window that holds `widget`, at its zoom: at 200% a layout of
// 1500 twips takes 200 pixels at 96 dpi, and 200 pixels read back as 1500 twips.
int toPixels(const QWidget &widget, double twips);
double toTwips(const QWidget &widget, int pixels);

// The size of the screen that shows `widget` (the primary screen while it shows on none) in
// the twips of its window; empty where there is no screen.
QSizeF screenSize(const QWidget &widget);

} // namespace Twips
