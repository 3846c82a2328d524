#pragma once

#include <QString>

#include <array>

class QWidget;

// A window's zoom: the factor by which its twips layout, its fonts and its pictures grow.
// 100% is the layout as designed; the steps between are what the user picks from.
namespace Zoom {

constexpr std::array<int, 5> Steps = {100, 125, 150, 175, 200};
constexpr int Standard = 100;

// The step nearest to `percent` (the lower one of two equally near), so a value outside
// the steps' range gives the smallest or the largest step.
int snap(int percent);

// A stored zoom: its step when the text is a whole number, 100 otherwise.
int fromText(const QString &text);

// The next step up (direction > 0) or down (direction < 0) from `percent`, staying at the
// end steps; 100 for direction 0.
int step(int percent, int direction);

// The zoom of the window that holds `widget`: 1.0 unless apply() zoomed it.
double factor(const QWidget &widget);

// Takes the window's layout as it is now as its layout at 100%: apply() scales from it.
// Call once the form is built, before anything moves it.
void remember(QWidget &window);

// Zooms the window to `percent` (snapped to a step): the window's size, each remembered
// control's place and size, and every font set on the window or one of those controls.
// A control that was moved or resized since the last zoom (by the window's own layout code)
// is taken from where it is now, so the layout code and the zoom can take turns.
void apply(QWidget &window, int percent);

} // namespace Zoom
