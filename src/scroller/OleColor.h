#pragma once

#include <QColor>
#include <QtGlobal>

namespace Slidetape {

// Colours cross the control's interface as 32-bit values laid out 0x00BBGGRR (red in the low
// byte). A value with the high bit set names a system colour by its index in the low byte.
QColor oleColorToQColor(quint32 value);

// The inverse for plain colours: red in the low byte, no alpha.
quint32 qColorToOleColor(const QColor &color);

} // namespace Slidetape
