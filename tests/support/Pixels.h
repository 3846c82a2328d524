#pragma once

#include <QColor>
#include <QImage>

// Pixels of exactly this colour in the image (what a widget or picture painted).
inline int countPixels(const QImage &image, const QColor &color)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y).rgb() == color.rgb())
                ++n;
    return n;
}
