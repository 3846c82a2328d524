#pragma once

#include <QPoint>
#include <QSize>

#include <optional>
#include <span>

class QLabel;
class QSlider;
class QWidget;

// Layout rules of the Options window that its form file cannot express.
namespace OptionsLayout {

// A label and the slider value it names.
struct TickLabel
{
    QLabel *label;
    int value;
};

// Places the labels in `row` (a widget below `slider`, of the same parent) each centred under
// its value's position on the slider, pushed inwards where it would stick out of the row.
void placeUnderTicks(const QSlider &slider, QWidget &row, std::span<const TickLabel> labels);

// Where a window of the given frame size goes: at the stored top-left point when that lies
// on a screen, moved just enough to keep the whole window in that screen's available area;
// centred on the primary screen when nothing is stored or the point is on no screen.
QPoint placeOnScreen(std::optional<QPoint> stored, QSize size);

} // namespace OptionsLayout
