#include "TextFit.h"

#include <QFontMetrics>
#include <QLabel>

namespace TextFit {

namespace {

bool fits(const QLabel &label, const QFont &font, const QString &text)
{
    const int room = label.contentsRect().width() - 2 * label.margin() -
                     (label.indent() > 0 ? label.indent() : 0);
    return QFontMetrics(font).horizontalAdvance(text) <= room;
}

} // namespace

bool fitLabel(QLabel &label, const QString &text)
{
    QFont font = label.font();
    if (fits(label, font, text))
        return true;
    const double size = font.pointSizeF();
    // Narrower first, then smaller; a font given in pixels only gets narrower.
    const double smallest = size * 0.75;
    const int steps = size > 0 ? int((size - smallest) / 0.25) : 0;
    for (int step = 0; step <= steps; ++step) {
        if (size > 0)
            font.setPointSizeF(size - 0.25 * step);
        for (const int stretch : {int(QFont::SemiCondensed), int(QFont::Condensed)}) {
            font.setStretch(stretch);
            if (fits(label, font, text)) {
                label.setFont(font);
                return true;
            }
        }
    }
    return false;
}

void fitLabels(QWidget &window)
{
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->text().isEmpty() && label->textFormat() != Qt::RichText)
            fitLabel(*label, label->text());
    }
}

} // namespace TextFit
