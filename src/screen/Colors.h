#pragma once

#include <QColor>
#include <QString>

#include <optional>

// Colours as the settings and the forms keep them: 24-bit values in blue-green-red order
// (&HBBGGRR, red in the lowest byte), written as signed 32-bit decimal text.
namespace Colors {

inline QColor fromBgr(qint32 value)
{
    const quint32 v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

inline qint32 toBgr(const QColor &color)
{
    return qint32(quint32(color.red()) | (quint32(color.green()) << 8) |
                  (quint32(color.blue()) << 16));
}

// Reads "16384", "-1", "&H004000" or "&H4000&" (letter case and surrounding blanks do not
// matter). Nothing when the text is not a colour.
std::optional<qint32> parse(const QString &text);

inline QString toText(qint32 value)
{
    return QString::number(value);
}

// The colours the program uses by name.
constexpr qint32 Rise = 0xEF50;       // bright green
constexpr qint32 Fall = 0x30FF;       // red-orange; also the low alert
constexpr qint32 HighAlert = 0xFF00;  // green
constexpr qint32 LampDone = 0xFF00;   // green
constexpr qint32 LampOffline = 0xFF;  // red
constexpr qint32 LampBusy = 0xFFFF;   // yellow
constexpr qint32 DarkGrey = 0x585858; // grid and ticker background

} // namespace Colors
