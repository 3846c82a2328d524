#include "OleColor.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace Slidetape {

namespace {

// System colour indices 0 to 24 mapped to the nearest palette role of the running desktop.
QColor systemColor(quint32 index)
{
    const QPalette pal = QGuiApplication::palette();
    struct Entry
    {
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    };
    static constexpr std::array<Entry, 25> table{{
        {QPalette::Active, QPalette::Button},          // 0 scroll bars
        {QPalette::Active, QPalette::Dark},            // 1 desktop
        {QPalette::Active, QPalette::Highlight},       // 2 active title bar
        {QPalette::Inactive, QPalette::Highlight},     // 3 inactive title bar
        {QPalette::Active, QPalette::Window},          // 4 menu bar
        {QPalette::Active, QPalette::Base},            // 5 window background
        {QPalette::Active, QPalette::Shadow},          // 6 window frame
        {QPalette::Active, QPalette::WindowText},      // 7 menu text
        {QPalette::Active, QPalette::Text},            // 8 window text
        {QPalette::Active, QPalette::HighlightedText}, // 9 title bar text
        {QPalette::Active, QPalette::Window},          // 10 active border
        {QPalette::Inactive, QPalette::Window},        // 11 inactive border
        {QPalette::Active, QPalette::Mid},             // 12 application workspace
        {QPalette::Active, QPalette::Highlight},       // 13 highlight
        {QPalette::Active, QPalette::HighlightedText}, // 14 highlighted text
        {QPalette::Active, QPalette::Button},          // 15 button face
        {QPalette::Active, QPalette::Dark},            // 16 button shadow
        {QPalette::Disabled, QPalette::Text},          // 17 grey text
        {QPalette::Active, QPalette::ButtonText},      // 18 button text
        {QPalette::Inactive, QPalette::WindowText},    // 19 inactive title text
        {QPalette::Active, QPalette::Light},           // 20 button highlight
        {QPalette::Active, QPalette::Shadow},          // 21 3-D dark shadow
        {QPalette::Active, QPalette::Midlight},        // 22 3-D light
        {QPalette::Active, QPalette::ToolTipText},     // 23 tooltip text
        {QPalette::Active, QPalette::ToolTipBase},     // 24 tooltip background
    }};
    if (index >= table.size())
        return QColor(Qt::black);
    return pal.color(table[index].group, table[index].role);
}

} // namespace

QColor oleColorToQColor(quint32 value)
{
    if (value & 0x80000000u)
        return systemColor(value & 0xFFu);
    return QColor(int(value & 0xFFu), int((value >> 8) & 0xFFu), int((value >> 16) & 0xFFu));
}

quint32 qColorToOleColor(const QColor &color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

} // namespace Slidetape
