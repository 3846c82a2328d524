#include "OptionsLayout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

namespace OptionsLayout {

namespace {

// The x of the centre of the slider's handle at `value`, in the slider's coordinates.
int tickX(const QSlider &slider, int value)
{
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = value;
    option.sliderValue = value;
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    option.tickPosition = slider.tickPosition();
    option.tickInterval = slider.tickInterval();
    option.upsideDown = slider.invertedAppearance();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    const QStyle *style = slider.style();
    const QRect groove =
        style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &slider);
    const QRect handle =
        style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    const int span = groove.width() - handle.width();
    return groove.x() + handle.width() / 2 +
           QStyle::sliderPositionFromValue(option.minimum, option.maximum, value, span,
                                           option.upsideDown);
}

} // namespace

void placeUnderTicks(const QSlider &slider, QWidget &row, std::span<const TickLabel> labels)
{
    int height = 0;
    for (const TickLabel &tick : labels) {
        QLabel *label = tick.label;
        const QSize size = label->sizeHint();
        height = std::max(height, size.height());
        const int x = slider.x() - row.x() + tickX(slider, tick.value);
        const int left = std::min(x - size.width() / 2, row.width() - size.width());
        label->setGeometry(std::max(0, left), 0, size.width(), size.height());
    }
    row.setMinimumHeight(height);
}

QPoint placeOnScreen(std::optional<QPoint> stored, QSize size)
{
    const QScreen *screen = stored ? QGuiApplication::screenAt(*stored) : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return stored.value_or(QPoint(0, 0));
        const QRect area = screen->availableGeometry();
        return area.topLeft() + QPoint(std::max(0, (area.width() - size.width()) / 2),
                                       std::max(0, (area.height() - size.height()) / 2));
    }
    const QRect area = screen->availableGeometry();
    // Kept inside the area; a window larger than the area keeps its top-left corner in it.
    const int x = std::max(area.left(), std::min(stored->x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(stored->y(), area.bottom() + 1 - size.height()));
    return {x, y};
}

} // namespace OptionsLayout
