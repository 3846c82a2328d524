#pragma once

class QLabel;
class QString;
class QWidget;

namespace TextFit {

// Gives the label a font in which `text` (the longest text it is to show) fits its width:
// its own font when the text fits, else a condensed cut of it, else a size smaller by
// quarter points, down to three quarters of its own size. True when the text fits.
bool fitLabel(QLabel &label, const QString &text);

// Fits every plain-text label inside `window` to the text it shows now.
void fitLabels(QWidget &window);

} // namespace TextFit
